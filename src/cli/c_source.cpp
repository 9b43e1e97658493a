#include "cli/c_source.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "glyphdata/utf8_source.h"
#include "platform/platform.h"
#include "version.h"

namespace pixtrel {

namespace {

/// The character of CP936 code `code` in UTF-8, or "?".
std::string InUtf8(uint16_t code) {
  const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  std::optional<std::string> text = TextConverter::Whole("UTF-8", "CP936", std::string_view(bytes, 2));
  return text && !text->empty() ? *text : "?";
}

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

std::string LeadingComment(const CSourceRequest& request, const GlyphCollection& glyphs, size_t records) {
  const std::string& ident = request.name;
  std::string comment =
      "/* The glyphs of " + InComment(request.source) + ", cut by pixtrel-extract " PIXTREL_VERSION_TEXT ".\n";
  comment += Format(" * %zu records of 32 bytes, a 16 x 16 glyph each, in layout %s%s: pixel (x, y),\n", records,
                    LayoutName(request.record_format.layout), request.record_format.invert ? ", inverted" : "");
  comment += " * x the column and y the row from the top left, is " +
             std::string(LayoutRule(request.record_format.layout)) +
             (request.record_format.invert ? ", inked when 0.\n" : ", inked when 1.\n");
  if (request.unique) {
    comment += Format(" * %zu characters: record %s_glyphs[%s_text[i]] is the glyph of character i.\n",
                      glyphs.occurrences().size(), ident.c_str(), ident.c_str());
    comment += Format(" * %lld lines: line k (from 0) of the text is the %s_lines[k][1] characters\n",
                      static_cast<long long>(glyphs.line_count()), ident.c_str());
    comment += " * from " + ident + "_text[" + ident + "_lines[k][0]] on.\n */\n";
  } else {
    comment += Format(" * %lld lines: line k (from 0) of the text is the %s_lines[k][1] records\n",
                      static_cast<long long>(glyphs.line_count()), ident.c_str());
    comment += " * from " + ident + "_glyphs[" + ident + "_lines[k][0]] on.\n */\n";
  }
  return comment;
}

std::string GlyphArray(const std::string& qualifier, const CSourceRequest& request, const GlyphCollection& glyphs,
                       const std::vector<size_t>& records, const GlyphStore& font) {
  std::string array = qualifier + "uint8_t " + request.name + Format("_glyphs[%zu][32] = {\n", records.size());
  for (size_t occurrence_index : records) {
    const GlyphCollection::Occurrence& occurrence = glyphs.occurrences()[occurrence_index];
    const GlyphRecord record = font.Record(occurrence.slot);
    array += "    {";
    for (size_t i = 0; i < record.size(); ++i) array += Format(i == 0 ? "0x%02X" : ", 0x%02X", record[i]);
    array += "}, /* " + InUtf8(occurrence.code) +
             Format(" %04X line %lld */\n", occurrence.code, static_cast<long long>(occurrence.line));
  }
  return array + "};\n";
}

std::string LineArray(const std::string& qualifier, const CSourceRequest& request, const GlyphCollection& glyphs) {
  const std::vector<std::pair<size_t, size_t>> lines = glyphs.LineTable();
  const bool wide =
      std::any_of(lines.begin(), lines.end(), [](const auto& line) { return line.first + line.second > 0xFFFF; });
  std::string array =
      qualifier + (wide ? "uint32_t " : "uint16_t ") + request.name + Format("_lines[%zu][2] = {\n", lines.size());
  for (const auto& [first, count] : lines) array += Format("    {%zu, %zu},\n", first, count);
  return array + "};\n";
}

std::string TextArray(const std::string& qualifier, const CSourceRequest& request, const GlyphCollection& glyphs) {
  const std::vector<uint16_t> indices = glyphs.UniqueIndices();
  std::string array = qualifier + "uint16_t " + request.name + Format("_text[%zu] = {", indices.size());
  for (size_t i = 0; i < indices.size(); ++i) array += Format(i % 16 == 0 ? "\n    %u," : " %u,", indices[i]);
  return array + "\n};\n";
}

std::vector<size_t> AllOccurrences(const GlyphCollection& glyphs) {
  std::vector<size_t> all(glyphs.occurrences().size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = i;
  return all;
}

}  // namespace

std::string CSource(const CSourceRequest& request, const GlyphCollection& glyphs, const GlyphStore& font) {
  const std::vector<size_t> records = request.unique ? glyphs.FirstOccurrences() : AllOccurrences(glyphs);
  const std::string qualifier = request.header ? "static const " : "const ";
  std::string guard = request.name + "_H";
  std::transform(guard.begin(), guard.end(), guard.begin(), [](unsigned char c) { return std::toupper(c); });
  std::string source = LeadingComment(request, glyphs, records.size());
  if (request.header) source += "#ifndef " + guard + "\n#define " + guard + "\n";
  source += "\n#include <stdint.h>\n\n";
  source += GlyphArray(qualifier, request, glyphs, records, font) + "\n";
  source += LineArray(qualifier, request, glyphs);
  if (request.unique) source += "\n" + TextArray(qualifier, request, glyphs);
  if (request.header) source += "\n#endif\n";
  return source;
}

std::string IdentifierFor(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  name = name.substr(0, name.rfind('.'));
  std::string identifier;
  for (size_t i = 0; i < name.size();) {
    const auto byte = static_cast<unsigned char>(name[i]);
    const size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(std::string_view(name).substr(i));
    if (byte >= 0x80 && length != 0 && length != kIncompleteUtf8) {  // 菜 gives u83DC.
      identifier += Format("u%04X", Utf8CodePoint(std::string_view(name).substr(i, length)));
      i += length;
      continue;
    }
    identifier += std::isalnum(byte) && byte < 0x80 ? static_cast<char>(byte) : '_';
    ++i;
  }
  // Not empty, and not starting with a digit or "_" (such names are the C library's).
  if (identifier.empty() || !std::isalpha(static_cast<unsigned char>(identifier[0]))) identifier.insert(0, "glyphs_");
  return identifier;
}

}  // namespace pixtrel
