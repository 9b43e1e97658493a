#include "glyphdata/glyph_store.h"

#include "glyphdata/cp936.h"
#include "glyphdata/failure.h"
#include "glyphdata/text_lines.h"

namespace pixtrel {

GlyphStore::GlyphStore(std::string program_dir) : program_dir_(std::move(program_dir)) {
  first_slot_.fill(kNoSlot);
}

std::string GlyphStore::FontPath() const { return program_dir_ + "/GB2312.bin"; }

std::string GlyphStore::TablePath() const { return program_dir_ + "/GB2312.tbl"; }

void GlyphStore::LoadGlyphData() {
  LoadFont();
  LoadTable();
  IndexTable();
}

void GlyphStore::LoadFont() {
  FileSource font(FontPath(), /*missing_is_empty=*/true);
  char* bytes = reinterpret_cast<char*>(FontBytes_.data());
  for (size_t done = 0, n; done < FontSize; done += n) {
    n = font.Read(bytes + done, FontSize - done);
    if (n == 0) break;
  }
}

void GlyphStore::LoadTable() {
  FileSource table(TablePath());
  LineReader lines(table);
  for (std::string& entry : CodeTable_) {
    std::optional<std::string_view> line = lines.Next();
    if (!line) throw FileFailure("Input past end of file", TablePath());
    entry = LastCharacter(*line);
  }
}

void GlyphStore::IndexTable() {
  first_slot_.fill(kNoSlot);
  for (size_t slot = GlyphCount; slot-- > 0;) {
    const std::string& entry = CodeTable_[slot];
    if (entry.size() == 2) first_slot_[DoubleByteCode(entry[0], entry[1])] = static_cast<uint16_t>(slot);
  }
}

}  // namespace pixtrel
