#include "formats/c_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "extract/glyph_file.h"
#include "formats/glyph_log.h"
#include "formats/target_file.h"
#include "glyphdata/cp936.h"
#include "glyphdata/utf8.h"
#include "version.h"

namespace pixtrel {

namespace {

std::string Format(const char* format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

/// `text` made safe inside a C comment: no "*/" ends it early.
std::string InComment(std::string text) {
  for (size_t at; (at = text.find("*/")) != std::string::npos;) text.insert(at + 1, " ");
  return text;
}

/// A number in decimal, as the arrays hold it.
std::string_view Decimal(int64_t value, std::array<char, 24>& digits) {
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  return std::string_view(digits.data(), static_cast<size_t>(end - digits.data()));
}

/// The C text of a run's records, written as it is made.
class CWriter {
 public:
  CWriter(const FormatRequest& request, bool header, const GlyphLog& log, GlyphOutput& output)
      : request_(request), header_(header), log_(log), out_(output), qualifier_(header ? "static const " : "const ") {}

  void Write() {
    const DistinctRecords distinct = request_.unique ? log_.Distinct() : DistinctRecords{};
    const int64_t records = request_.unique ? static_cast<int64_t>(distinct.slots.size()) : log_.records();
    std::string guard = request_.name + "_H";
    std::transform(guard.begin(), guard.end(), guard.begin(), [](unsigned char c) { return std::toupper(c); });
    out_.Append(LeadingComment(records));
    if (header_) out_.Append("#ifndef " + guard + "\n#define " + guard + "\n");
    out_.Append("\n#include <stdint.h>\n\n");
    out_.Append(qualifier_ + "uint8_t " + request_.name +
                Format("_glyphs[%lld][32] = {\n", static_cast<long long>(records)));
    if (request_.unique) {
      for (size_t i = 0; i < distinct.slots.size(); ++i) GlyphRow(distinct.slots[i], distinct.first_lines[i]);
    } else {
      log_.Walk([&](uint16_t slot, int64_t line) { GlyphRow(slot, line); }, [](int64_t) {});
    }
    out_.Append("};\n\n");
    LineArray();
    if (request_.unique) TextArray(distinct);
    if (header_) out_.Append("\n#endif\n");
    out_.Close();
  }

 private:
  std::string LeadingComment(int64_t records) const {
    const std::string& ident = request_.name;
    const RecordFormat format = request_.record_format;
    std::string comment =
        "/* The glyphs of " + InComment(request_.source) + ", cut by pixtrel-extract " PIXTREL_VERSION_TEXT ".\n";
    comment += Format(" * %lld records of 32 bytes, a 16 x 16 glyph each, in layout %s%s: pixel (x, y),\n",
                      static_cast<long long>(records), LayoutName(format.layout), format.invert ? ", inverted" : "");
    comment += " * x the column and y the row from the top left, is " + std::string(LayoutRule(format.layout)) +
               (format.invert ? ", inked when 0.\n" : ", inked when 1.\n");
    const long long lines = static_cast<long long>(log_.lines());
    if (request_.unique) {
      comment += Format(" * %lld characters: record %s_glyphs[%s_text[i]] is the glyph of character i.\n",
                        static_cast<long long>(log_.records()), ident.c_str(), ident.c_str());
      comment +=
          Format(" * %lld lines: line k (from 0) of the text is the %s_lines[k][1] characters\n", lines, ident.c_str());
      return comment + " * from " + ident + "_text[" + ident + "_lines[k][0]] on.\n */\n";
    }
    comment +=
        Format(" * %lld lines: line k (from 0) of the text is the %s_lines[k][1] records\n", lines, ident.c_str());
    return comment + " * from " + ident + "_glyphs[" + ident + "_lines[k][0]] on.\n */\n";
  }

  /// "    {0x00, ...}, /* 菜 B2CB line 1 */" for the record of `slot`.
  void GlyphRow(uint16_t slot, int64_t line) {
    std::string& prefix = row_prefixes_[slot];
    if (prefix.empty()) prefix = RowPrefix(slot);
    out_.Append(prefix);
    char end[32];
    char* at = std::to_chars(end, end + sizeof end, line).ptr;
    at = Put(at, " */\n");
    out_.Append(std::string_view(end, static_cast<size_t>(at - end)));
  }

  /// The row of `slot` up to its line number: "    {0x00, ...}, /* 菜 B2CB line ".
  std::string RowPrefix(uint16_t slot) const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const GlyphRecord record = request_.store->Record(slot);
    const std::string_view character = request_.store->CodeTable()[slot].view();
    const uint16_t code = DoubleByteCode(character[0], character[1]);
    char row[kRowPrefixSize];
    char* at = Put(row, "    {");
    for (size_t i = 0; i < GlyphSize; ++i) {
      if (i > 0) at = Put(at, ", ");
      *at++ = '0', *at++ = 'x', *at++ = kHex[record[i] >> 4], *at++ = kHex[record[i] & 0xF];
    }
    at = Put(at, "}, /* ");
    at = PutUtf8(at, CodePointOf(code));
    *at++ = ' ';
    for (int shift = 12; shift >= 0; shift -= 4) *at++ = kHex[code >> shift & 0xF];
    at = Put(at, " line ");
    return std::string(row, at);
  }

  /// Puts `text` at `at`; returns where it ends.
  static char* Put(char* at, std::string_view text) { return std::copy(text.begin(), text.end(), at); }

  /// Puts the character `code_point` at `at` in UTF-8, or "?" for none.
  static char* PutUtf8(char* at, uint32_t code_point) {
    if (code_point == 0) return Put(at, "?");
    std::string utf8;
    AppendUtf8(code_point, utf8);  // Short enough to need no memory of its own.
    return Put(at, utf8);
  }

  /// IDENT_lines: for each line, the index of its first record (or entry
  /// of IDENT_text) and how many it has.
  void LineArray() {
    const bool wide = log_.records() > 0xFFFF;  // Only the last lines reach the count of all.
    out_.Append(qualifier_ + (wide ? "uint32_t " : "uint16_t ") + request_.name +
                Format("_lines[%lld][2] = {\n", static_cast<long long>(log_.lines())));
    int64_t first = 0, at = 0;
    std::array<char, 24> digits;
    std::string row;
    log_.Walk([&](uint16_t, int64_t) { ++at; },
              [&](int64_t) {
                row = "    {";
                row += Decimal(first, digits);
                row += ", ";
                row += Decimal(at - first, digits);
                row += "},\n";
                out_.Append(row);
                first = at;
              });
    out_.Append("};\n");
  }

  /// IDENT_text: for each character, the index of its record.
  void TextArray(const DistinctRecords& distinct) {
    out_.Append("\n" + qualifier_ + "uint16_t " + request_.name +
                Format("_text[%lld] = {", static_cast<long long>(log_.records())));
    int64_t at = 0;
    std::array<char, 24> digits;
    std::string entry;
    log_.Walk(
        [&](uint16_t slot, int64_t) {
          entry = at++ % 16 == 0 ? "\n    " : " ";
          entry += Decimal(distinct.index_of_slot[slot], digits);
          entry += ',';
          out_.Append(entry);
        },
        [](int64_t) {});
    out_.Append("\n};\n");
  }

  /// Room for a row up to its line number.
  static constexpr size_t kRowPrefixSize = GlyphSize * 6 + 32;

  const FormatRequest& request_;
  const bool header_;
  const GlyphLog& log_;
  GlyphFile out_;
  const std::string qualifier_;
  std::vector<std::string> row_prefixes_ = std::vector<std::string>(GlyphCount);  ///< By slot, once made.
};

class CFormat : public GlyphFormat {
 public:
  CFormat(const FormatRequest& request, bool header)
      : request_(request), header_(header), log_(*request.disk), file_(*request.disk, request.output) {}

  GlyphOutput& Stream() override { return discarded_; }
  CharacterReport* Report() override { return &log_; }
  void Finish() override { CWriter(request_, header_, log_, file_.output()).Write(); }
  void Install() override { file_.Install(); }
  void RemoveOld() override { file_.RemoveOld(); }
  std::vector<std::string> Targets() const override {
    if (file_.path().empty()) return {};
    return {file_.path()};
  }

 private:
  FormatRequest request_;
  bool header_;
  DiscardedGlyphOutput discarded_;
  GlyphLog log_;
  TargetFile file_;
};

}  // namespace

std::unique_ptr<GlyphFormat> MakeCSourceFormat(const FormatRequest& request) {
  return std::make_unique<CFormat>(request, false);
}

std::unique_ptr<GlyphFormat> MakeCHeaderFormat(const FormatRequest& request) {
  return std::make_unique<CFormat>(request, true);
}

}  // namespace pixtrel
