// make_glyph_data: builds the program's data files "GB2312.bin" and
// "GB2312.tbl" from GNU Unifont's hex font, with glibc's CP936 conversion.
//
//   make_glyph_data UNIFONT_HEX OUTPUT_DIR
//
// Slot j = (row - 0xA1) * 94 + (col - 0xA1) serves the CP936 code {row, col},
// rows 0xA1-0xF7, columns 0xA1-0xFE. Table line j + 1 is the code in four hex
// digits, a space and the character; the line is empty where the code has no
// standard character (unassigned or private use), and the record then holds
// zeros. A record is the Unifont glyph, 16 rows of 2 bytes, most significant
// bit leftmost; a glyph 8 pixels wide is centred in the 16 columns.

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace {

constexpr int kFirstRow = 0xA1, kLastRow = 0xF7, kFirstCol = 0xA1, kLastCol = 0xFE;
constexpr size_t kGlyphSize = 32;

using Glyph = std::array<uint8_t, kGlyphSize>;

uint8_t HexByte(const std::string& hex, size_t at) {
  return static_cast<uint8_t>(std::stoul(hex.substr(at, 2), nullptr, 16));
}

/// Reads "XXXX:digits" lines: 32 digits for an 8-wide glyph, 64 for a 16-wide one.
std::unordered_map<char32_t, Glyph> ReadUnifont(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::unordered_map<char32_t, Glyph> glyphs;
  for (std::string line; std::getline(in, line);) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string hex = line.substr(colon + 1);
    Glyph glyph{};
    if (hex.size() == 64) {
      for (size_t i = 0; i < kGlyphSize; ++i) glyph[i] = HexByte(hex, 2 * i);
    } else if (hex.size() == 32) {
      for (size_t row = 0; row < 16; ++row) {
        uint8_t bits = HexByte(hex, 2 * row);
        glyph[2 * row] = bits >> 4;
        glyph[2 * row + 1] = static_cast<uint8_t>(bits << 4);
      }
    } else {
      continue;
    }
    glyphs[static_cast<char32_t>(std::stoul(line.substr(0, colon), nullptr, 16))] = glyph;
  }
  return glyphs;
}

/// The code point of the CP936 character {row, col}, or none when the code
/// has no standard character.
std::optional<char32_t> Decode(iconv_t cd, int row, int col) {
  char in[2] = {static_cast<char>(row), static_cast<char>(col)};
  unsigned char out[8];
  char* in_ptr = in;
  char* out_ptr = reinterpret_cast<char*>(out);
  size_t in_left = sizeof in, out_left = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1) || out_left != 4)
    return std::nullopt;
  char32_t code = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
  bool private_use = code >= 0xE000 && code <= 0xF8FF;
  if (private_use) return std::nullopt;
  return code;
}

void Build(const std::string& hex_path, const std::string& out_dir) {
  std::unordered_map<char32_t, Glyph> glyphs = ReadUnifont(hex_path);
  iconv_t cd = iconv_open("UTF-32LE", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP936");
  std::ofstream font(out_dir + "/GB2312.bin", std::ios::binary);
  std::ofstream table(out_dir + "/GB2312.tbl", std::ios::binary);
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    for (int col = kFirstCol; col <= kLastCol; ++col) {
      Glyph glyph{};
      if (std::optional<char32_t> code = Decode(cd, row, col)) {
        auto found = glyphs.find(*code);
        if (found == glyphs.end()) {
          char what[64];
          std::snprintf(what, sizeof what, "no glyph for %02X%02X (U+%04X)", row, col, static_cast<unsigned>(*code));
          throw std::runtime_error(what);
        }
        glyph = found->second;
        char line[8];
        std::snprintf(line, sizeof line, "%02X%02X %c%c", row, col, row, col);
        table << line;
      }
      table << "\r\n";
      font.write(reinterpret_cast<const char*>(glyph.data()), glyph.size());
    }
  }
  iconv_close(cd);
  if (!font.flush() || !table.flush()) throw std::runtime_error("cannot write to " + out_dir);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_glyph_data UNIFONT_HEX OUTPUT_DIR\n";
    return 2;
  }
  try {
    Build(argv[1], argv[2]);
  } catch (const std::exception& error) {
    std::cerr << "make_glyph_data: " << error.what() << '\n';
    return 1;
  }
}
