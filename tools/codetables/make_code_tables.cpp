// make_code_tables: writes the C++ source of the tables that convert
// between CP936 and Unicode, and from the other double-byte encodings
// (Big5, CP949, Shift_JIS, EUC-JP) to Unicode, as the C library's iconv
// converts, so that the programs need not open a converter at every start
// and every system reads texts alike.
//
//   make_code_tables OUTPUT.cpp

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "glyphdata/cp936.h"
#include "glyphdata/cp936_tables.h"
#include "glyphdata/double_byte_tables.h"
#include "platform/failure.h"
#include "platform/platform.h"

namespace {

using pixtrel::ConvertText;

/// The UTF-8 form of the BMP code point `code_point`.
std::string Utf8Of(uint32_t code_point) {
  std::string utf8;
  if (code_point < 0x800) {
    utf8 += static_cast<char>(0xC0 | code_point >> 6);
  } else {
    utf8 += static_cast<char>(0xE0 | code_point >> 12);
    utf8 += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
  }
  utf8 += static_cast<char>(0x80 | (code_point & 0x3F));
  return utf8;
}

/// The code point of the UTF-32LE character `utf32`, when it is one.
std::optional<uint32_t> CodePointOf(const std::optional<std::string>& utf32) {
  if (!utf32 || utf32->size() != 4) return std::nullopt;
  uint32_t code_point = 0;
  for (int i = 3; i >= 0; --i) code_point = code_point << 8 | static_cast<unsigned char>((*utf32)[i]);
  return code_point;
}

/// For each code point of the BMP from 0x80 on, its CP936 code (a single
/// byte below 0x100), or 0.
std::vector<uint16_t> FromUnicode() {
  std::vector<uint16_t> codes(0x10000, 0);
  for (uint32_t code_point = 0x80; code_point <= 0xFFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;  // Surrogates are no characters.
    const std::optional<std::string> cp936 = ConvertText("CP936", "UTF-8", Utf8Of(code_point));
    if (!cp936 || cp936->empty() || cp936->size() > 2) continue;
    uint16_t code = 0;
    for (char byte : *cp936) code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>(byte));
    codes[code_point] = code;
  }
  return codes;
}

/// The code point `bytes` of the encoding `from` stand for, when they are
/// one character of the Basic Multilingual Plane that is not ASCII; else 0.
uint16_t OneCharacter(const char* from, const std::string& bytes) {
  const std::optional<uint32_t> code_point = CodePointOf(ConvertText("UTF-32LE", from, bytes));
  return code_point && *code_point > 0x7F && *code_point <= 0xFFFF ? static_cast<uint16_t>(*code_point) : 0;
}

/// For each CP936 character that is not ASCII, in the order of
/// cp936_tables::IndexOf, its code point, or 0.
std::vector<uint16_t> ToUnicode() {
  std::vector<uint16_t> code_points(pixtrel::cp936_tables::kCharacters, 0);
  auto add = [&](uint16_t code, const std::string& bytes) {
    code_points[pixtrel::cp936_tables::IndexOf(code)] = OneCharacter("CP936", bytes);
  };
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte)
    add(static_cast<uint16_t>(byte), std::string(1, static_cast<char>(byte)));
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
      if (pixtrel::IsTrailByte(static_cast<unsigned char>(trail)))
        add(static_cast<uint16_t>(lead << 8 | trail), {static_cast<char>(lead), static_cast<char>(trail)});
  return code_points;
}

/// For each four-byte GB18030 character of the Basic Multilingual Plane,
/// its code point, or 0: converted a second byte's worth at a time, one by
/// one where the C library refuses some of them.
std::vector<uint16_t> FourByteToUnicode() {
  using pixtrel::cp936_tables::FourBytesOf;
  using pixtrel::cp936_tables::kFourByteBmp;
  constexpr uint32_t kChunk = 1260;
  std::vector<uint16_t> code_points(kFourByteBmp, 0);
  for (uint32_t first = 0; first < kFourByteBmp; first += kChunk) {
    const uint32_t count = std::min(kChunk, kFourByteBmp - first);
    std::string chunk;
    for (uint32_t linear = first; linear < first + count; ++linear) chunk += FourBytesOf(linear);
    const std::optional<std::string> utf32 = ConvertText("UTF-32LE", "GB18030", chunk);
    for (uint32_t linear = first; linear < first + count; ++linear) {
      const std::optional<uint32_t> code_point =
          utf32 && utf32->size() == count * 4 ? CodePointOf(utf32->substr((linear - first) * 4, 4))
                                              : CodePointOf(ConvertText("UTF-32LE", "GB18030", FourBytesOf(linear)));
      if (code_point && *code_point <= 0xFFFF) code_points[linear] = static_cast<uint16_t>(*code_point);
    }
  }
  return code_points;
}

/// The tables of the double-byte encoding `from`, as double_byte_tables
/// holds them: its single bytes, its pairs and, with `triples`, the three
/// bytes after 0x8F.
struct DoubleByteArrays {
  std::vector<uint16_t> single, pairs, triples;
};

DoubleByteArrays DoubleByteArraysOf(const char* from, bool triples) {
  DoubleByteArrays arrays{std::vector<uint16_t>(0x80), std::vector<uint16_t>(pixtrel::kDoubleByteCodes), {}};
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte)
    arrays.single[byte - 0x80] = OneCharacter(from, std::string(1, static_cast<char>(byte)));
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
      arrays.pairs[pixtrel::DoubleByteIndex(static_cast<uint16_t>(lead << 8 | trail))] =
          OneCharacter(from, {static_cast<char>(lead), static_cast<char>(trail)});
  if (!triples) return arrays;
  for (unsigned second = 0xA1; second <= 0xFE; ++second)
    for (unsigned third = 0xA1; third <= 0xFE; ++third)
      arrays.triples.push_back(
          OneCharacter(from, {static_cast<char>(0x8F), static_cast<char>(second), static_cast<char>(third)}));
  return arrays;
}

void WriteArray(std::FILE* out, const char* name, const std::vector<uint16_t>& values) {
  std::fprintf(out, "const uint16_t %s[%zu] = {", name, values.size());
  for (size_t i = 0; i < values.size(); ++i) std::fprintf(out, i % 16 == 0 ? "\n%u," : "%u,", values[i]);
  std::fputs("\n};\n", out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_code_tables OUTPUT.cpp\n", stderr);
    return 2;
  }
  try {
    const std::vector<uint16_t> from_unicode = FromUnicode(), to_unicode = ToUnicode();
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) throw pixtrel::FileFailure(argv[1], errno);
    std::fputs("// Generated by make_code_tables from the C library's conversions.\n\n", out);
    std::fputs("#include \"glyphdata/cp936_tables.h\"\n#include \"glyphdata/double_byte_tables.h\"\n\n", out);
    std::fputs("namespace pixtrel::cp936_tables {\n\n", out);
    WriteArray(out, "kFromUnicode", from_unicode);
    uint32_t first = 0xFFFF, last = 0;  // The code points CP936 writes in one byte.
    for (uint32_t code_point = 0x80; code_point <= 0xFFFF; ++code_point) {
      if (from_unicode[code_point] == 0 || from_unicode[code_point] > 0xFF) continue;
      first = std::min(first, code_point);
      last = std::max(last, code_point);
    }
    std::fprintf(out, "const uint32_t kFirstSingleByte = 0x%X, kLastSingleByte = 0x%X;\n", first, last);
    WriteArray(out, "kToUnicode", to_unicode);
    WriteArray(out, "kFourByteToUnicode", FourByteToUnicode());
    std::fputs("\n}  // namespace pixtrel::cp936_tables\n\nnamespace pixtrel::double_byte_tables {\n\n", out);
    const struct {
      const char* from;
      const char* name;
      bool triples;
    } encodings[] = {
        {"CP950", "Big5", false}, {"CP949", "Cp949", false}, {"CP932", "ShiftJis", false}, {"EUC-JP", "EucJp", true}};
    for (const auto& encoding : encodings) {
      const DoubleByteArrays arrays = DoubleByteArraysOf(encoding.from, encoding.triples);
      WriteArray(out, ("k" + std::string(encoding.name) + "Single").c_str(), arrays.single);
      WriteArray(out, ("k" + std::string(encoding.name) + "Pairs").c_str(), arrays.pairs);
      if (encoding.triples) WriteArray(out, ("k" + std::string(encoding.name) + "Triples").c_str(), arrays.triples);
    }
    std::fputs("\n}  // namespace pixtrel::double_byte_tables\n", out);
    if (std::fclose(out) != 0) throw pixtrel::FileFailure(argv[1], errno);
  } catch (const pixtrel::Failure& failure) {
    std::fprintf(stderr, "make_code_tables: %s\n", failure.what());
    return 2;
  }
  return 0;
}
