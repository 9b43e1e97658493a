#include "glyphdata/glyph_store.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "glyphdata/cp936.h"
#include "glyphdata/text_lines.h"
#include "platform/failure.h"

namespace pixtrel {

void GlyphStore::Free::operator()(uint8_t* bytes) const { std::free(bytes); }

GlyphStore::GlyphStore(std::string program_dir, Disk& disk)
    : program_dir_(std::move(program_dir)),
      disk_(disk),
      // A block this large comes zeroed from the system, and calloc does not clear it again.
      read_font_(static_cast<uint8_t*>(std::calloc(FontSize, 1))),
      FontBytes_(read_font_.get()) {
  if (!read_font_) throw std::bad_alloc();
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
  for (size_t slot = 0; slot < GlyphCount; ++slot) rewrite(FontBytes_ + slot * GlyphSize);
}

void GlyphStore::LoadFont() {
  // A whole font is mapped: only the pages of the records a text uses are read from the disk.
  mapped_font_ = disk_.MapIfLongEnough(FontPath(), FontSize);
  FontBytes_ = mapped_font_ ? mapped_font_->data() : read_font_.get();
  font_file_bytes_ = FontSize;
  if (mapped_font_) return;
  font_file_bytes_.reset();
  size_t read = 0;
  if (std::unique_ptr<ByteSource> font = disk_.OpenIfExists(FontPath()))
    font_file_bytes_ = read = font->ReadFull(reinterpret_cast<char*>(FontBytes_), FontSize);
  std::memset(FontBytes_ + read, 0, FontSize - read);
}

void GlyphStore::LoadTable() {
  std::unique_ptr<ByteSource> table = disk_.OpenForReading(TablePath());
  LineReader lines(*table);
  for (TableEntry& entry : CodeTable_) {
    std::optional<std::string> line = lines.NextLine();
    if (!line) throw FileFailure(TablePath(), "Input past end of file");
    entry = TableEntry(LastCharacter(*line));
  }
}

void GlyphStore::IndexTable() {
  first_slot_.fill(kNoSlot);
  for (size_t slot = GlyphCount; slot-- > 0;) {
    const std::string_view entry = CodeTable_[slot].view();
    if (entry.size() == 2)
      first_slot_[DoubleByteIndex(DoubleByteCode(entry[0], entry[1]))] = static_cast<uint16_t>(slot);
  }
}

}  // namespace pixtrel
