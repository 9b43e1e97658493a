#include "cli/extract_command.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/c_source.h"
#include "cli/command_line_window.h"
#include "cli/glyph_collection.h"
#include "cli/glyph_preview.h"
#include "cli/missing_report.h"
#include "extract/extractor.h"
#include "extract/glyph_output.h"
#include "glyphdata/output_path.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// The name standard input goes by in messages, as a SOURCE of "-".
constexpr char kStandardInput[] = "-";

/// What is wrong with the font file, when it supplies less than the whole font.
std::optional<std::string> FontShortage(const GlyphStore& store) {
  const std::optional<size_t> bytes = store.FontFileBytes();
  if (!bytes) return "no font file: all " + std::to_string(GlyphCount) + " glyphs are blank";
  if (*bytes == FontSize) return std::nullopt;
  const size_t blank = (FontSize - *bytes + GlyphSize - 1) / GlyphSize;
  return "font file is " + std::to_string(FontSize - *bytes) + " bytes short: " + std::to_string(blank) + " of " +
         std::to_string(GlyphCount) + " glyphs are blank";
}

/// Loads the data files; a font file that falls short is a warning, or a
/// failure with --strict.
std::optional<int> LoadData(Extractor& extractor, const Options& options) {
  extractor.LoadGlyphData();
  if (options.record_format.layout != GlyphLayout::kRowMsb || options.record_format.invert)
    extractor.RewriteRecords([&](uint8_t* record) { FormatRecord(record, options.record_format); });
  const std::optional<std::string> shortage = FontShortage(extractor);
  if (!shortage) return std::nullopt;
  if (options.strict) return Fail(extractor.FontPath() + ": " + *shortage);
  std::fprintf(stderr, "pixtrel-extract: %s: warning: %s\n", extractor.FontPath().c_str(), shortage->c_str());
  return std::nullopt;
}

SourceText OpenSource(const Options& options, Disk& disk) {
  if (options.file == kStandardInput) return OpenSourceStream(disk.StandardInput(), kStandardInput, options.encoding);
  return OpenSourceFile(disk, options.file, options.encoding);
}

/// The extension of the default output file of each format.
constexpr const char* kExtensions[] = {"bin", "c", "h"};

/// A sink that keeps nothing.
class NullSink : public ByteSink {
 public:
  void Write(const char*, size_t) override {}
  void Close() override {}
};

/// Where the run's records go when they are written out afterwards, from
/// what the run collected: nowhere.
class CollectingOutput : public GlyphOutput {
 public:
  void Prepare() override {}
  std::unique_ptr<ByteSink> Open() override {
    opened_ = true;
    return std::make_unique<NullSink>();
  }
  bool Exists() override { return opened_; }

 private:
  bool opened_ = false;
};

/// The missing characters and the collected records, either or both.
class Reports : public CharacterReport {
 public:
  Reports(MissingReport* missing, GlyphCollection* collection) : missing_(missing), collection_(collection) {}

  bool Any() const { return missing_ != nullptr || collection_ != nullptr; }

  void GlyphWritten(uint16_t slot, uint16_t code, int64_t line_number) override {
    if (collection_ != nullptr) collection_->GlyphWritten(slot, code, line_number);
  }
  void MissingCharacter(uint16_t code, int64_t line_number) override {
    if (missing_ != nullptr) missing_->MissingCharacter(code, line_number);
  }
  void SourceEnded(int64_t line_count) override {
    if (collection_ != nullptr) collection_->SourceEnded(line_count);
  }

 private:
  MissingReport* missing_;
  GlyphCollection* collection_;
};

std::unique_ptr<GlyphOutput> OutputFor(const Options& options, const std::string& path, bool collecting, Disk& disk) {
  if (collecting) return std::make_unique<CollectingOutput>();
  if (options.ToStandardOutput()) return std::make_unique<StreamGlyphOutput>(disk);
  return std::make_unique<AtomicGlyphFile>(disk, path);
}

/// How messages name an output path: "-" for standard output.
std::string Shown(const std::string& output) { return output.empty() ? "-" : output; }

/// A file written whole under a temporary name, to be installed with others.
class PreparedFile {
 public:
  /// Writes `bytes` for `path` (standard output when empty, at once).
  PreparedFile(Disk& disk, const std::string& path, std::string_view bytes) {
    if (!path.empty()) {
      file_.emplace(disk, path).WriteWhole(bytes);
      return;
    }
    std::unique_ptr<ByteSink> sink = disk.StandardOutput();
    sink->Write(bytes.data(), bytes.size());
    sink->Close();
  }

  void Install() {
    if (file_) file_->Install();
  }

 private:
  std::optional<AtomicGlyphFile> file_;
};

/// The records of --unique, each distinct one once.
std::string UniqueRecords(const GlyphCollection& collection, const GlyphStore& font) {
  std::string records;
  for (size_t first : collection.FirstOccurrences()) {
    const GlyphRecord record = font.Record(collection.occurrences()[first].slot);
    records.append(reinterpret_cast<const char*>(record.data()), record.size());
  }
  return records;
}

/// The index file of --unique: a little-endian uint16 an occurrence.
std::string IndexFile(const GlyphCollection& collection) {
  std::string bytes;
  for (uint16_t index : collection.UniqueIndices()) {
    bytes += static_cast<char>(index & 0xFF);
    bytes += static_cast<char>(index >> 8);
  }
  return bytes;
}

/// Writes the formats that are made from what the run collected, and puts
/// them in place together once all are written.
void WriteCollected(const Options& options, const Extractor& extractor, const GlyphCollection& collection, Disk& disk) {
  if (options.format == Options::Format::kBin) {
    PreparedFile glyphs(disk, extractor.OutputPath, UniqueRecords(collection, extractor));
    PreparedFile index(disk, *options.index, IndexFile(collection));
    glyphs.Install();
    index.Install();
    return;
  }
  CSourceRequest request;
  request.name =
      options.name ? *options.name : IdentifierFor(extractor.OutputPath.empty() ? options.file : extractor.OutputPath);
  request.header = options.format == Options::Format::kHeader;
  request.unique = options.unique;
  request.source = options.file;
  request.record_format = options.record_format;
  PreparedFile source(disk, extractor.OutputPath, CSource(request, collection, extractor));
  source.Install();
}

void PrintSavings(const std::string& output, const GlyphCollection& collection) {
  const size_t all = collection.occurrences().size(), distinct = collection.FirstOccurrences().size();
  std::fprintf(stderr, "pixtrel-extract: %s: %zu distinct records of %zu: %zu fewer, %zu bytes saved\n", output.c_str(),
               distinct, all, all - distinct, (all - distinct) * GlyphSize);
}

/// A refusal of the run, naming the file it is about.
std::string NamedRefusal(const std::string& refusal, const std::string& path) {
  return refusal == kBackupMessage ? path + ": " + refusal : refusal;
}

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "pixtrel-extract: %s\n", message.c_str());
  return kExitFailed;
}

int ExtractCommand(const Options& options, Disk& disk) {
  Extractor extractor(options.data_dir ? *options.data_dir : ProgramDirectory(), disk);
  if (options.data_dir) extractor.GuardDataFilesIn(ProgramDirectory());
  if (std::optional<int> failed = LoadData(extractor, options)) return *failed;
  if (options.file != kStandardInput) {
    if (std::optional<std::string> refusal = extractor.DataFileRefusal(options.file))
      return Fail(NamedRefusal(*refusal, options.file));
  }
  extractor.SourcePath = options.file;
  extractor.OutputPath = OutputPathFor(options.file, kExtensions[static_cast<int>(options.format)]);
  if (options.output) extractor.OutputPath = options.ToStandardOutput() ? "" : *options.output;
  if (options.index) {
    if (std::optional<std::string> refusal = extractor.OutputRefusal(options.file, *options.index))
      return Fail(NamedRefusal(*refusal, *options.index));
  }

  SourceText source = OpenSource(options, disk);
  MissingReport missing;
  missing.ConvertedFrom(source.utf8);
  GlyphCollection collection;
  const bool collecting = options.unique || options.format != Options::Format::kBin;
  Reports reports(options.missing ? &missing : nullptr, collecting ? &collection : nullptr);
  std::unique_ptr<GlyphOutput> output = OutputFor(options, extractor.OutputPath, collecting, disk);
  CommandLineWindow window(options.quiet ? nullptr : stderr);
  RunOutcome outcome;
  try {
    outcome = extractor.Run(window, reports.Any() ? &reports : nullptr, std::move(source.bytes), output.get());
  } catch (const Failure&) {
    window.EndProgressLine();
    throw;
  }
  if (outcome == RunOutcome::kRefused) return Fail(NamedRefusal(window.message(), extractor.OutputPath));

  const bool incomplete = options.strict && missing.occurrences() > 0;
  if (!incomplete && outcome == RunOutcome::kWritten) {
    if (collecting)
      WriteCollected(options, extractor, collection, disk);
    else if (auto* file = dynamic_cast<AtomicGlyphFile*>(output.get()))
      file->Install();
  }
  if (!incomplete && outcome == RunOutcome::kEmpty) {
    for (const std::optional<std::string>& path : {std::optional(extractor.OutputPath), options.index})
      if (path && !path->empty()) AtomicGlyphFile(disk, *path).RemoveOld();
  }
  if (!incomplete) std::fprintf(options.ToStandardOutput() ? stderr : stdout, "%s\n", window.message().c_str());
  if (options.missing) missing.Print(stderr, options.file, LocaleCharset());
  if (incomplete) {
    Fail(options.ToStandardOutput()
             ? "-: some characters got no glyph (--strict)"
             : extractor.OutputPath + ": not written, since some characters got no glyph (--strict)");
    return kExitMissing;
  }
  if (outcome == RunOutcome::kEmpty) return kExitNothing;
  if (options.unique && !options.quiet) PrintSavings(Shown(extractor.OutputPath), collection);
  if (options.preview) {
    std::fflush(stdout);
    DrawGlyphFile(extractor.OutputPath, TerminalColumns(stdout).value_or(80), stdout, options.record_format);
  }
  return kExitWritten;
}

}  // namespace pixtrel
