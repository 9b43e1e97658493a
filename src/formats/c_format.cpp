#include "formats/c_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "extract/glyph_file.h"
#include "formats/c_text.h"
#include "formats/glyph_log.h"
#include "formats/target_file.h"
#include "glyphdata/utf8.h"
#include "version.h"

namespace pixtrel {

namespace {

/// Writes numbers `per_line` to a line, each followed by a comma.
class NumberList {
 public:
  NumberList(GlyphFile& out, int per_line, bool hex = false) : out_(out), per_line_(per_line), hex_(hex) {}

  void Add(int64_t value) {
    char text[32];
    char* at = text;
    *at++ = count_++ % per_line_ == 0 ? '\n' : ' ';
    if (count_ % per_line_ == 1 || per_line_ == 1) at = std::copy_n("    ", 4, at);
    at = hex_ ? Hex(value, at) : std::to_chars(at, text + sizeof text, value).ptr;
    *at++ = ',';
    out_.Append(std::string_view(text, static_cast<size_t>(at - text)));
  }

 private:
  /// Writes `value` at `at` as "0x" and at least four upper-case hex
  /// digits; returns where it ends.
  static char* Hex(int64_t value, char* at) {
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    at = std::copy_n("0x", 2, at);
    for (auto width = end - digits; width < 4; ++width) *at++ = '0';
    for (const char* digit = digits; digit < end; ++digit)
      *at++ = static_cast<char>(std::toupper(static_cast<unsigned char>(*digit)));
    return at;
  }

  GlyphFile& out_;
  int per_line_;
  bool hex_;
  int64_t count_ = 0;
};

/// The C text of a run's records, written as it is made.
class CWriter {
 public:
  CWriter(const FormatRequest& request, bool header, const GlyphLog& log, GlyphOutput& output)
      : request_(request),
        store_(*request.glyphs),
        header_(header),
        log_(log),
        out_(output),
        qualifier_(header ? "static const " : "const "),
        // Records of other shapes than the 16 x 16 of old are written as bitmaps with their widths.
        square_(!request.half_width && store_.Metrics().cell == RecordShape{} && request.record_format.bpp == 1) {}

  /// Writes the text; returns what --unique saved, when asked for.
  std::optional<std::string> Write() {
    if (request_.unique) distinct_ = log_.Distinct();
    out_.Append(square_ ? SquareComment() : BitmapComment());
    if (header_) out_.Append("#ifndef " + Guard() + "\n#define " + Guard() + "\n");
    out_.Append("\n#include <stdint.h>\n\n");
    if (request_.header) out_.Append("#include \"" + request_.header->substr(NameStart(*request_.header)) + "\"\n\n");
    if (square_)
      GlyphArray();
    else
      BitmapArrays();
    CodeArray();
    LineArray();
    if (request_.unique) TextArray();
    if (header_) out_.Append("\n#endif\n");
    out_.Close();
    if (!request_.unique) return std::nullopt;
    return SavingsSummary(request_.output, log_, distinct_, store_);
  }

  /// The header of the C source Write wrote: its enums, and a declaration
  /// of each of its arrays.
  std::string Header() const {
    std::string text = kCHeaderStart + InComment(request_.output.substr(NameStart(request_.output))) +
                       ", the glyphs of " + InComment(request_.source) + ", cut by pixtrel-extract " +
                       PIXTREL_VERSION_TEXT ". */\n#ifndef " + Guard() + "\n#define " + Guard() +
                       "\n\n#include <stdint.h>\n\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n" + Enums();
    for (const std::string& declaration : declarations_) text += "extern const " + declaration + ";\n";
    return text + "\n#ifdef __cplusplus\n}\n#endif\n\n#endif\n";
  }

 private:
  /// The include guard of a header.
  std::string Guard() const {
    std::string guard = request_.name + "_H";
    std::transform(guard.begin(), guard.end(), guard.begin(), [](unsigned char c) { return std::toupper(c); });
    return guard;
  }

  /// The enums of the arrays: the records' height, where they are not all 16 x 16.
  std::string Enums() const {
    if (square_) return "";
    const int bpp = request_.record_format.bpp;
    return "enum { " + request_.name + Printed("_height = %d", store_.Metrics().cell.height) +
           (bpp == 1 ? std::string() : ", " + request_.name + Printed("_bpp = %d", bpp)) + " };\n\n";
  }

  /// The start of the definition of the array `declaration` ("uint8_t
  /// IDENT_glyphs[3][32]"), which a header then declares.
  std::string Definition(const std::string& declaration) {
    declarations_.push_back(declaration);
    return qualifier_ + declaration + " = {";
  }

  /// How many records the arrays hold.
  int64_t Records() const { return request_.unique ? static_cast<int64_t>(distinct_.glyphs.size()) : log_.records(); }

  /// Calls `visit(glyph, line)` for each record the arrays hold, in order.
  void ForEachRecord(const std::function<void(const WrittenGlyph&, int64_t)>& visit) const {
    if (!request_.unique) return log_.Walk(visit, [](int64_t) {});
    for (size_t i = 0; i < distinct_.glyphs.size(); ++i) visit(distinct_.glyphs[i], distinct_.first_lines[i]);
  }

  std::string Introduction() const {
    return "/* The glyphs of " + InComment(request_.source) + ", cut by pixtrel-extract " PIXTREL_VERSION_TEXT ".\n";
  }

  /// How the lines (and with --unique the characters) find their records:
  /// `line_start` names the first record of line k, `character` the record
  /// of character i.
  std::string LinesComment(const std::string& line_start, const std::string& character) const {
    const std::string& ident = request_.name;
    const long long lines = static_cast<long long>(log_.lines());
    if (!request_.unique) {
      return Printed(" * %lld lines: line k (from 0) of the text is the %s_lines[k][1] records\n", lines,
                     ident.c_str()) +
             " * from " + line_start + " on.\n */\n";
    }
    return Printed(" * %lld characters: ", static_cast<long long>(log_.records())) + character +
           " is the glyph of character i.\n" +
           Printed(" * %lld lines: line k (from 0) of the text is the %s_lines[k][1] characters\n", lines,
                   ident.c_str()) +
           " * from " + ident + "_text[" + ident + "_lines[k][0]] on.\n */\n";
  }

  std::string SquareComment() const {
    const std::string& ident = request_.name;
    const RecordFormat format = request_.record_format;
    std::string comment = Introduction();
    comment += Printed(" * %lld records of 32 bytes, a 16 x 16 glyph each, in layout %s%s: pixel (x, y),\n",
                       static_cast<long long>(Records()), LayoutName(format.layout), format.invert ? ", inverted" : "");
    comment += " * x the column and y the row from the top left, is " + LayoutRule(format.layout, {}) +
               (format.invert ? ", inked when 0.\n" : ", inked when 1.\n");
    return comment + LinesComment(ident + "_glyphs[" + ident + "_lines[k][0]]",
                                  "record " + ident + "_glyphs[" + ident + "_text[i]]");
  }

  std::string BitmapComment() const {
    const std::string& ident = request_.name;
    const RecordFormat format = request_.record_format;
    std::string comment = Introduction();
    comment += Printed(" * %lld records, each %d pixels high and %s_widths[n] wide, in layout %s%s:\n",
                       static_cast<long long>(Records()), store_.Metrics().cell.height, ident.c_str(),
                       LayoutName(format.layout), format.invert ? ", inverted" : "");
    comment += " * record n is the bytes from " + ident + "_bitmaps[" + ident + "_offsets[n]] on, and its pixel\n";
    if (format.bpp == 1) {
      comment += " * (x, y), x the column and y the row from its top left, is " +
                 LayoutRule(format.layout, store_.Metrics().cell, "W") + ", W its width,\n";
      comment += std::string(format.invert ? " * inked when 0. " : " * inked when 1. ");
    } else {
      comment += Printed(
          " * (x, y), x the column and y the row from its top left, is the %d bits from bit %d * x of the row's\n"
          " * bytes on, the first in the high bits, each row ((W * %d + 7) / 8) bytes, W its width: its coverage,\n"
          " * 0 to %d%s. ",
          format.bpp, format.bpp, format.bpp, (1 << format.bpp) - 1, format.invert ? ", inverted" : "");
    }
    comment += ident + "_codes[n] is the code point of its character.\n";
    return comment + LinesComment("record " + ident + "_lines[k][0]", "record " + ident + "_text[i]");
  }

  /// "菜 B2CB line " for a record's comment, the line number to follow.
  std::string RecordComment(const WrittenGlyph& glyph) const {
    const SourceCharacter character = store_.CharacterOf(glyph);
    std::string comment;
    if (glyph.kind == GlyphKind::kPlaceholder) comment = "placeholder for ";
    if (character.code_point == 0)
      comment += '?';
    else
      AppendUtf8(character.code_point, comment);
    if (glyph.kind == GlyphKind::kPlaceholder)
      comment += Printed(" U+%04X", static_cast<unsigned>(character.code_point));
    else
      comment += Printed(character.code > 0xFF ? " %04X" : " %02X", character.code);
    return InComment(comment) + " line ";
  }

  /// The bytes of the record of `glyph`, "0x00, 0x01" and so on.
  std::string Bytes(const WrittenGlyph& glyph) const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : store_.RecordOf(glyph)) {
      if (!text.empty()) text += ", ";
      text += {'0', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return text;
  }

  /// Writes the row of `glyph` on `line`, made once for each record but a
  /// placeholder's, whose comment names its character.
  void Row(const WrittenGlyph& glyph, int64_t line) {
    std::string made;
    std::string* prefix = &made;
    if (glyph.kind != GlyphKind::kPlaceholder) {
      const size_t key = RecordKey(glyph);
      if (key >= row_prefixes_.size()) row_prefixes_.resize(key + 1);
      prefix = &row_prefixes_[key];
    }
    if (prefix->empty())
      *prefix = square_ ? "    {" + Bytes(glyph) + "}, /* " + RecordComment(glyph)
                        : "    " + Bytes(glyph) + ", /* " + RecordComment(glyph);
    out_.Append(*prefix);
    char end[32];
    char* at = std::to_chars(end, end + sizeof end, line).ptr;
    at = std::copy_n(" */\n", 4, at);
    out_.Append(std::string_view(end, static_cast<size_t>(at - end)));
  }

  /// IDENT_glyphs[N][32], the records of 16 x 16 glyphs.
  void GlyphArray() {
    out_.Append(
        Definition("uint8_t " + request_.name + Printed("_glyphs[%lld][32]", static_cast<long long>(Records()))) +
        "\n");
    ForEachRecord([&](const WrittenGlyph& glyph, int64_t line) { Row(glyph, line); });
    out_.Append("};\n\n");
  }

  /// IDENT_height, IDENT_bitmaps, IDENT_offsets and IDENT_widths: records of any shape.
  void BitmapArrays() {
    int64_t bytes = 0, last_offset = 0;
    ForEachRecord([&](const WrittenGlyph& glyph, int64_t) {
      last_offset = bytes;
      bytes += static_cast<int64_t>(store_.RecordOf(glyph).size());
    });
    const std::string& ident = request_.name;
    if (!request_.header) out_.Append(Enums());
    out_.Append(Definition("uint8_t " + ident + Printed("_bitmaps[%lld]", static_cast<long long>(bytes))) + "\n");
    ForEachRecord([&](const WrittenGlyph& glyph, int64_t line) { Row(glyph, line); });
    out_.Append("};\n\n");
    out_.Append(Definition((last_offset > 0xFFFF ? "uint32_t " : "uint16_t ") + ident +
                           Printed("_offsets[%lld]", static_cast<long long>(Records()))));
    NumberList offsets(out_, 12);
    int64_t offset = 0;
    ForEachRecord([&](const WrittenGlyph& glyph, int64_t) {
      offsets.Add(offset);
      offset += static_cast<int64_t>(store_.RecordOf(glyph).size());
    });
    out_.Append("\n};\n\n" +
                Definition("uint8_t " + ident + Printed("_widths[%lld]", static_cast<long long>(Records()))));
    NumberList widths(out_, 16);
    ForEachRecord([&](const WrittenGlyph& glyph, int64_t) { widths.Add(store_.ShapeOf(glyph).width); });
    out_.Append("\n};\n\n");
  }

  /// IDENT_codes: the code point of each record's character.
  void CodeArray() {
    out_.Append(Definition("uint32_t " + request_.name + Printed("_codes[%lld]", static_cast<long long>(Records()))));
    NumberList codes(out_, 8, /*hex=*/true);
    ForEachRecord([&](const WrittenGlyph& glyph, int64_t) { codes.Add(store_.CharacterOf(glyph).code_point); });
    out_.Append("\n};\n\n");
  }

  /// IDENT_lines: for each line, the index of its first record (or entry
  /// of IDENT_text) and how many it has.
  void LineArray() {
    const bool wide = log_.records() > 0xFFFF;  // Only the last lines reach the count of all.
    out_.Append(Definition((wide ? "uint32_t " : "uint16_t ") + request_.name +
                           Printed("_lines[%lld][2]", static_cast<long long>(log_.lines()))) +
                "\n");
    int64_t first = 0, at = 0;
    std::array<char, 64> row;
    log_.Walk([&](const WrittenGlyph&, int64_t) { ++at; },
              [&](int64_t) {
                char* end = std::copy_n("    {", 5, row.data());
                end = std::to_chars(end, row.data() + row.size(), first).ptr;
                end = std::copy_n(", ", 2, end);
                end = std::to_chars(end, row.data() + row.size(), at - first).ptr;
                end = std::copy_n("},\n", 3, end);
                out_.Append(std::string_view(row.data(), static_cast<size_t>(end - row.data())));
                first = at;
              });
    out_.Append("};\n");
  }

  /// IDENT_text: for each character, the index of its record.
  void TextArray() {
    out_.Append("\n" + Definition("uint16_t " + request_.name +
                                  Printed("_text[%lld]", static_cast<long long>(log_.records()))));
    NumberList text(out_, 16);
    log_.Walk([&](const WrittenGlyph& glyph, int64_t) { text.Add(distinct_.index_of_key[RecordKey(glyph)]); },
              [](int64_t) {});
    out_.Append("\n};\n");
  }

  const FormatRequest& request_;
  const GlyphSource& store_;
  const bool header_;
  const GlyphLog& log_;
  GlyphFile out_;
  const std::string qualifier_;
  const bool square_;
  DistinctRecords distinct_;
  std::vector<std::string> declarations_;                                          ///< Of the arrays defined so far.
  std::vector<std::string> row_prefixes_ = std::vector<std::string>(kRecordKeys);  ///< By RecordKey, once made.
};

class CFormat : public OneFileFormat {
 public:
  CFormat(const FormatRequest& request, bool header)
      : OneFileFormat(*request.disk, request.output), request_(request), header_(header), log_(*request.disk) {
    if (request.header) header_file_.emplace(*request.disk, *request.header);
  }

  GlyphOutput& Stream() override { return discarded_; }
  CharacterReport* Report() override { return &log_; }
  void Finish() override {
    CWriter writer(request_, header_, log_, file().output());
    summary_ = writer.Write();
    if (header_file_) header_file_->WriteWhole(writer.Header());
  }
  std::optional<std::string> Summary() const override { return summary_; }
  void Install() override {
    OneFileFormat::Install();
    if (header_file_) header_file_->Install();
  }
  void RemoveOld() override {
    OneFileFormat::RemoveOld();
    if (header_file_) header_file_->RemoveOld();
  }
  std::vector<std::string> Targets() const override {
    std::vector<std::string> targets = OneFileFormat::Targets();
    if (header_file_) targets.push_back(header_file_->path());
    return targets;
  }

 private:
  FormatRequest request_;
  bool header_;
  std::optional<TargetFile> header_file_;  ///< The header of a C source, when it has one.
  DiscardedGlyphOutput discarded_;
  GlyphLog log_;
  std::optional<std::string> summary_;
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeCSourceFormat(const FormatRequest& request) {
  return std::make_unique<CFormat>(request, false);
}

std::unique_ptr<GlyphFormat> MakeCHeaderFormat(const FormatRequest& request) {
  return std::make_unique<CFormat>(request, true);
}

}  // namespace pixtrel
