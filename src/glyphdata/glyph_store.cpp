#include "glyphdata/glyph_store.h"

#include "glyphdata/cp936.h"
#include "glyphdata/text_lines.h"
#include "platform/failure.h"

namespace pixtrel {

GlyphStore::GlyphStore(std::string program_dir, Disk& disk) : program_dir_(std::move(program_dir)), disk_(disk) {
  first_slot_.fill(kNoSlot);
}

std::string GlyphStore::FontPathIn(const std::string& dir) { return dir + "/GB2312.bin"; }

std::string GlyphStore::TablePathIn(const std::string& dir) { return dir + "/GB2312.tbl"; }

void GlyphStore::LoadGlyphData() {
  LoadFont();
  LoadTable();
  IndexTable();
}

void GlyphStore::RewriteRecords(const std::function<void(uint8_t* record)>& rewrite) {
  for (size_t slot = 0; slot < GlyphCount; ++slot) rewrite(FontBytes_.data() + slot * GlyphSize);
}

void GlyphStore::LoadFont() {
  font_file_bytes_.reset();
  if (std::unique_ptr<ByteSource> font = disk_.OpenIfExists(FontPath()))
    font_file_bytes_ = font->ReadFull(reinterpret_cast<char*>(FontBytes_.data()), FontSize);
}

void GlyphStore::LoadTable() {
  std::unique_ptr<ByteSource> table = disk_.OpenForReading(TablePath());
  LineReader lines(*table);
  for (std::string& entry : CodeTable_) {
    std::optional<std::string> line = lines.NextLine();
    if (!line) throw FileFailure(TablePath(), "Input past end of file");
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
