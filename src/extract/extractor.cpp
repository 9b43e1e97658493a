#include "extract/extractor.h"

#include <algorithm>

#include "extract/glyph_file.h"
#include "glyphdata/cp936.h"
#include "glyphdata/font_set.h"
#include "glyphdata/output_path.h"
#include "glyphdata/source_text.h"
#include "glyphdata/text_lines.h"
#include "glyphdata/utf8.h"
#include "platform/failure.h"
#include "shipped_sets.h"

namespace pixtrel {

namespace {

/// One run over an opened source: the lines, their characters, the glyph
/// file and the progress; its glyphs from a `Glyphs` (a GlyphSource, or one
/// kind of it, whose calls the compiler then makes directly).
template <class Glyphs>
class ExtractionRun {
 public:
  ExtractionRun(const Extractor& extractor, Glyphs& glyphs, GlyphOutput& output, WindowOperations& window,
                CharacterReport* report, Utf8Source* utf8, int64_t& bytes_done)
      : glyphs_(glyphs),
        extras_(extractor.Extras()),
        source_path_(extractor.SourcePath),
        window_(window),
        report_(report),
        glyph_report_(report != nullptr && report->HearsGlyphs() ? report : nullptr),
        utf8_(utf8),
        bytes_done_(bytes_done),
        glyph_file_(output) {}

  /// Reads `source` line by line to its end. Records appended before a
  /// failure are written out as it propagates.
  void ExtractSource(ByteSource& source) {
    LineReader lines(source);
    bytes_done_ = 0;
    while (std::optional<LinePiece> piece = lines.Next()) {
      const size_t used = ExtractLine(piece->text, piece->ends_line);
      CountEditorLines(piece->text.substr(0, used));
      counted_ = 0;  // The next piece starts afresh.
      if (!piece->ends_line) {
        lines.GiveBack(piece->text.size() - used);
        continue;
      }
      if (report_ != nullptr && piece->had_line_end) editor_lines_.CountLineEnd();
      ShowProgress(lines.SourceLength());
      AddBytesDone(2);
    }
    glyph_file_.Close();
    if (report_ != nullptr) report_->SourceEnded(editor_lines_.Lines());
  }

 private:
  /// Appends the record of every double-byte character of `line` (a line,
  /// or a piece of one that `ends_line` says whether it ends) found in the
  /// table to the glyph file, and the extra records asked for; reports the
  /// other characters that are not ASCII, and advances BytesDone by the
  /// characters' bytes. Returns how many bytes it took: all, but for the
  /// start of a character that ends a piece and may go on in the next.
  size_t ExtractLine(std::string_view line, bool ends_line) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
    const size_t used = ends_line ? line.size() : line.size() - UnfinishedBytes(line);
    const std::string_view text = line.substr(0, used);
    size_t four_byte_end = 0;  // The bytes of a four-byte character are one character.
    ForEachCharacter(text, [&](size_t i, size_t length) {
      if (i < four_byte_end) return;
      if (length == 2) {
        Take({DoubleByteCode(bytes[i], bytes[i + 1]), 0}, line, i);
      } else if (bytes[i] < 0x80) {
        if (extras_.half_width && bytes[i] >= kFirstHalfWidth && bytes[i] <= kLastHalfWidth)
          Take({bytes[i], bytes[i]}, line, i);
        else if (extras_.half_width && IsControl(bytes[i]) && bytes[i] != '\n')  // A lone LF is no line end here.
          Missing({bytes[i], bytes[i]}, line, i);
      } else if (utf8_ != nullptr && bytes[i] == kNoCp936Byte) {
        // A character CP936 has no form for comes as two such bytes, never split between pieces.
        if ((half_of_no_form_ = !half_of_no_form_))
          Take({kNoCp936Code, Utf8CodePoint(utf8_->TakeUnconvertible())}, line, i);
      } else if (IsFourByte(text, i)) {
        Take({kNoCp936Code, FourByteCodePoint(text.substr(i, 4))}, line, i);
        four_byte_end = i + 4;
      } else {
        Missing(Character(bytes[i]), line, i);
      }
    });
    // Each character counts its own length: 2 for a double-byte one, 1 for any other.
    AddBytesDone(static_cast<int64_t>(used));
    return used;
  }

  static constexpr unsigned char kNoCp936Byte = static_cast<unsigned char>(kNoCp936Form[0]);

  /// How many bytes at the end of `text` start a character whose rest may
  /// follow: a lead byte on its own, up to three of a four-byte character,
  /// or of a UTF-8 source, the first of the two bytes of a character with
  /// no CP936 form.
  size_t UnfinishedBytes(std::string_view text) const {
    bool lone_lead = false;
    size_t no_form_bytes = 0, four_byte_end = 0, four_byte_start = text.size();
    ForEachCharacter(text, [&](size_t i, size_t length) {
      if (i < four_byte_end) return;
      if (length == 1 && IsFourByte(text, i)) {
        four_byte_end = i + 4, lone_lead = false, no_form_bytes = 0;
        return;
      }
      lone_lead = length == 1 && i + 1 == text.size() && IsLeadByte(text[i]);
      no_form_bytes = length == 1 && static_cast<unsigned char>(text[i]) == kNoCp936Byte ? no_form_bytes + 1 : 0;
      if (length == 1 && four_byte_start == text.size() && MayStartFourByte(text.substr(i))) four_byte_start = i;
    });
    return std::max(
        {text.size() - four_byte_start, size_t{lone_lead}, size_t{utf8_ != nullptr && no_form_bytes % 2 == 1}});
  }

  /// The character of CP936 code `code`, with its code point when someone hears of it.
  SourceCharacter Character(uint16_t code) const { return {code, report_ != nullptr ? CodePointOf(code) : 0}; }

  /// Appends the record of `character`, at byte `offset` of `line`, when
  /// the glyphs have one; else it is missing. Its code point, when not
  /// given, is looked up only for someone who hears of it.
  [[gnu::always_inline]] void Take(SourceCharacter character, std::string_view line, size_t offset) {
    GlyphFind found = glyphs_.Find(character);
    if (found.missing) return Missing(WithCodePoint(character), line, offset, *found.missing);
    glyph_file_.Append(found.record);
    if (glyph_report_ == nullptr) return;
    found.glyph.character = WithCodePoint(found.glyph.character);
    glyph_report_->GlyphWritten(found.glyph, LineNumberAt(line, offset));
  }

  /// `character`, with its code point when someone hears of it.
  SourceCharacter WithCodePoint(SourceCharacter character) const {
    return character.code_point != 0 || character.code == kNoCp936Code ? character : Character(character.code);
  }

  /// Tells the report of `character` at byte `offset` of `line`, which got
  /// no glyph for `cause`, and appends the placeholder for it when asked to.
  void Missing(SourceCharacter character, std::string_view line, size_t offset,
               MissingCause cause = MissingCause::kNotInSet) {
    if (report_ != nullptr) report_->MissingCharacter(character, LineNumberAt(line, offset), cause);
    if (!extras_.placeholder) return;
    glyph_file_.Append(glyphs_.Placeholder());
    if (glyph_report_ != nullptr)
      glyph_report_->GlyphWritten({GlyphKind::kPlaceholder, 0, character}, LineNumberAt(line, offset));
  }

  /// The editor line of byte `offset` of `line`, the current piece.
  int64_t LineNumberAt(std::string_view line, size_t offset) {
    CountEditorLines(line.substr(0, offset));
    return editor_lines_.Number();
  }

  /// Counts the line ends in `bytes`, the start of the current piece, past
  /// what was counted of it before.
  void CountEditorLines(std::string_view bytes) {
    if (report_ == nullptr) return;  // Nobody asks for line numbers.
    editor_lines_.Count(bytes.substr(std::min(counted_, bytes.size())));
    counted_ = bytes.size();
  }

  void ShowProgress(int64_t source_length) {
    if (source_length == ByteSource::kUnknownLength) return;
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

  Glyphs& glyphs_;
  const Extractor::ExtraRecords extras_;
  const std::string& source_path_;
  WindowOperations& window_;
  CharacterReport* report_;
  CharacterReport* glyph_report_;  ///< report_, when it hears of the glyphs written.
  Utf8Source* utf8_;
  int64_t& bytes_done_;
  GlyphFile glyph_file_;
  int64_t percent_shown_ = -1;
  EditorLineCounter editor_lines_;
  size_t counted_ = 0;            ///< Bytes of the current piece that editor_lines_ has counted.
  bool half_of_no_form_ = false;  ///< The first byte of a character with no CP936 form came last.
};

}  // namespace

Extractor::Extractor(std::string program_dir, Disk& disk, RecordShape shape)
    : GlyphStore(std::move(program_dir), disk, shape) {}

void Extractor::MakeOutputPath() { OutputPath = OutputPathFor(SourcePath); }

void Extractor::GuardDataFilesIn(const std::string& dir) {
  guarded_dirs_.push_back(dir);
  guarded_.reset();
}

void Extractor::GuardShippedSets(const std::string& program_dir) {
  if (program_dir != ProgramDir()) GuardDataFilesIn(program_dir);
  auto is_directory = [&](const std::string& path) {
    return disk().KindOf(disk().FollowLinks(path)) == FileKind::kDirectory;
  };
  const ShippedDataPlaces places = ShippedDataDirectories(program_dir);
  for (const std::string& dir : places.program_dirs)
    if (is_directory(dir)) GuardDataFilesIn(dir);
  for (const std::string& root : places.set_roots) {
    if (!is_directory(root)) continue;
    for (const char* name : kShippedSetNames)
      if (is_directory(JoinPath(root, name))) GuardDataFilesIn(JoinPath(root, name));
  }
}

const Extractor::GuardedFiles& Extractor::Guarded() const {
  if (guarded_) return *guarded_;
  GuardedFiles& guarded = guarded_.emplace();
  std::vector<std::string> dirs = guarded_dirs_;
  dirs.insert(dirs.begin(), ProgramDir());
  for (const std::string& dir : dirs) {
    for (const std::string& name : DataFileNames()) {
      const std::string path = JoinPath(dir, name);
      if (std::optional<FileIdentity> identity = disk().IdentityOf(path))
        guarded.present.insert(*identity);
      else
        guarded.absent.push_back(path);
    }
  }
  return guarded;
}

bool Extractor::IsDataFile(const std::string& path) const {
  const GuardedFiles& guarded = Guarded();
  if (std::optional<FileIdentity> identity = disk().IdentityOf(path)) return guarded.present.contains(*identity);
  // A path to nothing is a data file that is not there by its name.
  return std::any_of(guarded.absent.begin(), guarded.absent.end(),
                     [&](const std::string& absent) { return disk().SameFile(path, absent); });
}

std::optional<std::string> Extractor::DataFileRefusal(const std::string& path) const {
  if (IsDataFile(path)) return kBackupMessage;
  return std::nullopt;
}

std::optional<std::string> Extractor::SourceRefusal(const std::string& source) const {
  guarded_.reset();  // A choice of the source looks at the data files as they are now.
  if (source.empty()) return std::nullopt;
  if (std::optional<std::string> refusal = DataFileRefusal(source)) return refusal;
  return OutputRefusal(source, OutputPathFor(source));
}

std::optional<std::string> Extractor::OutputRefusal(const std::string& source, const std::string& output) const {
  if (output.empty()) return std::nullopt;
  if (disk().SameFile(output, source)) return output + ": The glyph file would overwrite its own source";
  if (std::optional<std::string> refusal = DataFileRefusal(output)) return refusal;
  switch (disk().KindOf(disk().FollowLinks(output))) {
    case FileKind::kDirectory:
      return output + ": Is a directory";
    case FileKind::kOther:
      return output + ": Not a regular file";
    case FileKind::kNone:
      break;
    case FileKind::kRegular:
      if (disk().IsReadOnly(disk().FollowLinks(output))) return ReadOnlyFailure(output).what();
      break;
  }
  return std::nullopt;
}

void Extractor::WriteExtraRecords(ExtraRecords extras) { extras_ = extras; }

RunOutcome Extractor::Run(WindowOperations& window, CharacterReport* report, SourceText source, GlyphOutput* output,
                          GlyphSource* glyphs) {
  window.EnableCommand1(false);
  if (std::optional<std::string> refusal = OutputRefusal(SourcePath, OutputPath)) {
    window.ShowMessageBox(*refusal);
    window.ResetForm();
    return RunOutcome::kRefused;
  }
  std::optional<InPlaceGlyphFile> in_place;
  if (output == nullptr) output = &in_place.emplace(disk(), OutputPath);
  output->Prepare();
  if (!source.bytes) source = OpenSourceFile(disk(), SourcePath, TextEncoding::kAuto);
  std::optional<SetGlyphs> own;
  if (glyphs == nullptr) glyphs = &own.emplace(*this, FontSet{});
  // A font set's glyphs, as every window's run has them, are found without a virtual call a character.
  if (auto* set = dynamic_cast<SetGlyphs*>(glyphs))
    ExtractionRun(*this, *set, *output, window, report, source.utf8, BytesDone).ExtractSource(*source.bytes);
  else
    ExtractionRun(*this, *glyphs, *output, window, report, source.utf8, BytesDone).ExtractSource(*source.bytes);
  window.SetCommand1Caption("100%");
  const bool written = output->Exists();
  guarded_.reset();  // What a run wrote, or what came meanwhile, is looked at anew.
  window.ShowMessageBox(written ? kOverMessage : kEmptyMessage);
  window.ResetForm();
  return written ? RunOutcome::kWritten : RunOutcome::kEmpty;
}

}  // namespace pixtrel
