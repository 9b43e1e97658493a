#include "extract/extractor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "glyphdata/cp936.h"
#include "glyphdata/failure.h"
#include "glyphdata/file_identity.h"
#include "glyphdata/output_path.h"

namespace pixtrel {

namespace {

/// True when a file (anything but a directory) named `path` exists.
bool FileExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

int64_t CountLineFeeds(std::string_view bytes) {
  int64_t count = 0;
  for (const char* at = bytes.data(), *end = at + bytes.size();
       (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)))) != nullptr; ++at)
    ++count;
  return count;
}

}  // namespace

Extractor::Extractor(std::string program_dir) : GlyphStore(std::move(program_dir)) {}

Extractor::~Extractor() = default;

void Extractor::MakeOutputPath() { OutputPath = OutputPathFor(SourcePath); }

bool Extractor::IsDataFile(const std::string& path) const {
  return SameFile(path, FontPath()) || SameFile(path, TablePath());
}

std::optional<std::string> Extractor::SourceRefusal(const std::string& source) const {
  if (source.empty()) return std::nullopt;
  if (IsDataFile(source)) return kBackupMessage;
  return OutputRefusal(source, OutputPathFor(source));
}

std::optional<std::string> Extractor::OutputRefusal(const std::string& source,
                                                    const std::string& output) const {
  if (SameFile(output, source)) return "The glyph file would overwrite its own source: " + output;
  if (IsDataFile(output)) return kBackupMessage;
  return std::nullopt;
}

RunOutcome Extractor::Run() {
  EnableCommand1(false);
  if (std::optional<std::string> refusal = OutputRefusal(SourcePath, OutputPath)) {
    ShowMessageBox(*refusal);
    ResetForm();
    return RunOutcome::kRefused;
  }
  DeleteOldOutput();
  ExtractSource();
  SetCaption("100%");
  bool written = FileExists(OutputPath);
  ShowMessageBox(written ? kOverMessage : kEmptyMessage);
  ResetForm();
  return written ? RunOutcome::kWritten : RunOutcome::kEmpty;
}

std::unique_ptr<ByteSource> Extractor::OpenSource() { return std::make_unique<FileSource>(SourcePath); }

void Extractor::ExtractSource() {
  std::unique_ptr<ByteSource> source = OpenSource();
  LineReader lines(*source);
  BytesDone = 0;
  percent_shown_ = -1;
  caption_shown_.clear();
  line_number_ = 1;
  line_offset_ = 0;
  glyph_file_.emplace(OutputPath);
  try {
    while (std::optional<std::string_view> line = lines.Next()) {
      if (!line->empty()) ExtractLine(*line);
      FinishLine(*line);
      ShowProgress(lines.SourceLength());
      AddBytesDone(2);
    }
    glyph_file_->Close();
  } catch (...) {
    glyph_file_.reset();  // Writes out the records appended so far.
    throw;
  }
  glyph_file_.reset();
}

void Extractor::ExtractLine(std::string_view line) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const size_t size = line.size();
  for (size_t i = 0; i < size;) {
    if (i + 1 < size && IsDoubleByte(bytes[i], bytes[i + 1])) {
      const uint16_t code = DoubleByteCode(bytes[i], bytes[i + 1]);
      if (std::optional<uint16_t> slot = Lookup(code))
        glyph_file_->Append(Record(*slot));
      else
        MissingCharacter(code, LineNumberAt(line, i));
      i += 2;
    } else {
      ++i;
    }
  }
  // Each character counts its own length: 2 for a double-byte one, 1 for any other.
  AddBytesDone(static_cast<int64_t>(size));
}

void Extractor::MissingCharacter(uint16_t, int64_t) {}

int64_t Extractor::LineNumberAt(std::string_view line, size_t offset) {
  line_number_ += CountLineFeeds(line.substr(line_offset_, offset - line_offset_));
  line_offset_ = offset;
  return line_number_;
}

void Extractor::FinishLine(std::string_view line) {
  LineNumberAt(line, line.size());
  ++line_number_;  // The CR LF or CR that ended it.
  line_offset_ = 0;
}

void Extractor::DeleteOldOutput() const {
  if (FileExists(OutputPath) && unlink(OutputPath.c_str()) != 0) throw FileFailure(errno, OutputPath);
}

void Extractor::ShowProgress(int64_t source_length) {
  int64_t scaled;
  if (__builtin_mul_overflow(BytesDone, int64_t{100}, &scaled)) throw FileFailure("Overflow", SourcePath);
  if (source_length <= 0) throw FileFailure("Division by zero", SourcePath);
  auto percent = static_cast<int64_t>(static_cast<double>(scaled) / static_cast<double>(source_length));
  if (percent == percent_shown_) return;
  percent_shown_ = percent;
  SetCaption("Loading... " + std::to_string(percent) + "%");
}

void Extractor::SetCaption(const std::string& caption) {
  if (caption == caption_shown_) return;
  caption_shown_ = caption;
  SetCommand1Caption(caption);
}

void Extractor::AddBytesDone(int64_t count) {
  if (__builtin_add_overflow(BytesDone, count, &BytesDone)) throw FileFailure("Overflow", SourcePath);
}

}  // namespace pixtrel
