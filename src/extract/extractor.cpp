#include "extract/extractor.h"

#include "extract/glyph_file.h"
#include "glyphdata/cp936.h"
#include "glyphdata/output_path.h"
#include "glyphdata/text_lines.h"
#include "platform/failure.h"

namespace pixtrel {

namespace {

/// One run over an opened source: the lines, their characters, the glyph
/// file and the progress.
class ExtractionRun {
 public:
  ExtractionRun(const Extractor& extractor, Disk& disk, WindowOperations& window, CharacterReport* report,
                int64_t& bytes_done)
      : store_(extractor),
        source_path_(extractor.SourcePath),
        window_(window),
        report_(report),
        bytes_done_(bytes_done),
        glyph_file_(disk, extractor.OutputPath) {}

  /// Reads `source` line by line to its end. Records appended before a
  /// failure are written out as it propagates.
  void ExtractSource(ByteSource& source) {
    LineReader lines(source);
    bytes_done_ = 0;
    while (std::optional<std::string_view> line = lines.Next()) {
      if (!line->empty()) ExtractLine(*line);
      FinishLine(*line);
      ShowProgress(lines.SourceLength());
      AddBytesDone(2);
    }
    glyph_file_.Close();
  }

 private:
  /// Appends the record of every double-byte character of `line` found in
  /// the table to the glyph file, reports the others, and advances BytesDone
  /// by the line's characters.
  void ExtractLine(std::string_view line) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
    ForEachCharacter(line, [&](size_t i, size_t length) {
      if (length == 1) return;
      const uint16_t code = DoubleByteCode(bytes[i], bytes[i + 1]);
      if (std::optional<uint16_t> slot = store_.Lookup(code))
        glyph_file_.Append(store_.Record(*slot));
      else if (report_ != nullptr)
        report_->MissingCharacter(code, LineNumberAt(line, i));
    });
    // Each character counts its own length: 2 for a double-byte one, 1 for any other.
    AddBytesDone(static_cast<int64_t>(line.size()));
  }

  /// The editor line of byte `offset` of the current line.
  int64_t LineNumberAt(std::string_view line, size_t offset) {
    editor_lines_.Count(line.substr(counted_, offset - counted_));
    counted_ = offset;
    return editor_lines_.Number();
  }

  void FinishLine(std::string_view line) {
    if (report_ == nullptr) return;  // Nobody asks for line numbers.
    LineNumberAt(line, line.size());
    editor_lines_.CountLineEnd();
    counted_ = 0;
  }

  void ShowProgress(int64_t source_length) {
    int64_t scaled;
    if (__builtin_mul_overflow(bytes_done_, int64_t{100}, &scaled)) throw FileFailure(source_path_, "Overflow");
    if (source_length <= 0) throw FileFailure(source_path_, "Division by zero");
    const auto percent = static_cast<int64_t>(static_cast<double>(scaled) / static_cast<double>(source_length));
    if (percent == percent_shown_) return;
    percent_shown_ = percent;
    window_.SetCommand1Caption("Loading... " + std::to_string(percent) + "%");
  }

  void AddBytesDone(int64_t count) {
    if (__builtin_add_overflow(bytes_done_, count, &bytes_done_)) throw FileFailure(source_path_, "Overflow");
  }

  const GlyphStore& store_;
  const std::string& source_path_;
  WindowOperations& window_;
  CharacterReport* report_;
  int64_t& bytes_done_;
  GlyphFile glyph_file_;
  int64_t percent_shown_ = -1;
  EditorLineCounter editor_lines_;
  size_t counted_ = 0;  ///< Bytes of the current line that editor_lines_ has counted.
};

}  // namespace

Extractor::Extractor(std::string program_dir, Disk& disk) : GlyphStore(std::move(program_dir), disk) {}

void Extractor::MakeOutputPath() { OutputPath = OutputPathFor(SourcePath); }

bool Extractor::IsDataFile(const std::string& path) const {
  return disk().SameFile(path, FontPath()) || disk().SameFile(path, TablePath());
}

std::optional<std::string> Extractor::DataFileRefusal(const std::string& path) const {
  if (IsDataFile(path)) return kBackupMessage;
  return std::nullopt;
}

std::optional<std::string> Extractor::SourceRefusal(const std::string& source) const {
  if (source.empty()) return std::nullopt;
  if (std::optional<std::string> refusal = DataFileRefusal(source)) return refusal;
  return OutputRefusal(source, OutputPathFor(source));
}

std::optional<std::string> Extractor::OutputRefusal(const std::string& source, const std::string& output) const {
  if (disk().SameFile(output, source)) return output + ": The glyph file would overwrite its own source";
  return DataFileRefusal(output);
}

bool Extractor::GlyphFileExists() const {
  const FileKind kind = disk().KindOf(OutputPath);
  return kind != FileKind::kNone && kind != FileKind::kDirectory;
}

RunOutcome Extractor::Run(WindowOperations& window, CharacterReport* report, std::unique_ptr<ByteSource> source) {
  window.EnableCommand1(false);
  if (std::optional<std::string> refusal = OutputRefusal(SourcePath, OutputPath)) {
    window.ShowMessageBox(*refusal);
    window.ResetForm();
    return RunOutcome::kRefused;
  }
  if (GlyphFileExists()) disk().Remove(OutputPath);
  if (!source) source = disk().OpenForReading(SourcePath);
  ExtractionRun(*this, disk(), window, report, BytesDone).ExtractSource(*source);
  window.SetCommand1Caption("100%");
  const bool written = GlyphFileExists();
  window.ShowMessageBox(written ? kOverMessage : kEmptyMessage);
  window.ResetForm();
  return written ? RunOutcome::kWritten : RunOutcome::kEmpty;
}

}  // namespace pixtrel
