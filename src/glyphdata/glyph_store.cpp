#include "glyphdata/glyph_store.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "glyphdata/cp936.h"
#include "glyphdata/text_lines.h"
#include "platform/failure.h"
#include "platform/platform.h"

namespace pixtrel {

void GlyphStore::Free::operator()(uint8_t* bytes) const { std::free(bytes); }

GlyphStore::GlyphStore(std::string program_dir, Disk& disk, RecordShape shape)
    : program_dir_(std::move(program_dir)),
      disk_(disk),
      shape_(shape),
      record_size_(RecordBytes(shape, GlyphLayout::kRowMsb)),
      // A block this large comes zeroed from the system, and calloc does not clear it again.
      read_font_(static_cast<uint8_t*>(std::calloc(FontFileSize(), 1))),
      FontBytes_(read_font_.get()) {
  if (!read_font_) throw std::bad_alloc();
  first_slot_.fill(kNoSlot);
}

std::string GlyphStore::FontPathIn(const std::string& dir) { return JoinPath(dir, kFontFileName); }

std::string GlyphStore::TablePathIn(const std::string& dir) { return JoinPath(dir, kTableFileName); }

void GlyphStore::LoadGlyphData() {
  LoadFont();
  LoadTable();
  IndexTable();
}

void GlyphStore::LoadSetGlyphs(const FontSet& set) {
  if (set.half_width != 0)
    half_width_ = ReadRecords(kHalfWidthFileName, HalfShape(), kLastHalfWidth - kFirstHalfWidth + 1);
  if (set.placeholder) placeholder_ = ReadRecords(kPlaceholderFileName, shape_, 1);
}

void GlyphStore::MarkBlankGlyphs(const FontSet& set) {
  blank_.assign(GlyphCount, false);
  blank_half_width_.assign(kLastHalfWidth + 1, false);
  for (uint16_t slot : set.blank) blank_[slot] = true;
  for (uint16_t c : set.blank_half_width) blank_half_width_[c] = true;
  MarkBlankSlots();
}

void GlyphStore::MarkBlankSlots() {
  static_assert(GlyphCount <= kBlankBit, "a slot never has the blank bit");
  if (blank_.empty()) return;
  for (size_t slot = 0; slot < GlyphCount; ++slot) {
    const std::string_view entry = CodeTable_[slot].view();
    if (!blank_[slot] || entry.size() != 2) continue;
    uint16_t& first = first_slot_[DoubleByteIndex(DoubleByteCode(entry[0], entry[1]))];
    if (first == slot) first |= kBlankBit;
  }
}

std::vector<uint8_t> GlyphStore::ReadRecords(const char* name, RecordShape shape, size_t count) const {
  const std::string path = JoinPath(program_dir_, name);
  std::vector<uint8_t> records(count * RecordBytes(shape, GlyphLayout::kRowMsb));
  const size_t read = disk_.OpenForReading(path)->ReadFull(reinterpret_cast<char*>(records.data()), records.size());
  if (read < records.size()) throw FileFailure(path, "Input past end of file");
  return records;
}

void GlyphStore::Relayout(RecordFormat format) {
  auto laid_out = [&](const uint8_t* records, size_t count, RecordShape shape) {
    const size_t from = RecordBytes(shape, GlyphLayout::kRowMsb), to = RecordBytes(shape, format.layout);
    std::vector<uint8_t> out(count * to);
    for (size_t i = 0; i < count; ++i) FormatRecord(records + i * from, shape, format, out.data() + i * to);
    return out;
  };
  laid_out_font_ = laid_out(FontBytes_, GlyphCount, shape_);
  FontBytes_ = laid_out_font_.data();
  record_size_ = RecordBytes(shape_, format.layout);
  half_width_ =
      laid_out(half_width_.data(), half_width_.size() / RecordBytes(HalfShape(), GlyphLayout::kRowMsb), HalfShape());
  placeholder_ = laid_out(placeholder_.data(), placeholder_.size() / RecordBytes(shape_, GlyphLayout::kRowMsb), shape_);
}

void GlyphStore::LoadFont() {
  // A whole font is mapped: only the pages of the records a text uses are read from the disk.
  const size_t size = FontFileSize();
  mapped_font_ = disk_.MapIfLongEnough(FontPath(), size);
  FontBytes_ = mapped_font_ ? mapped_font_->data() : read_font_.get();
  font_file_bytes_ = size;
  if (mapped_font_) return;
  font_file_bytes_.reset();
  size_t read = 0;
  if (std::unique_ptr<ByteSource> font = disk_.OpenIfExists(FontPath()))
    font_file_bytes_ = read = font->ReadFull(reinterpret_cast<char*>(FontBytes_), size);
  std::memset(FontBytes_ + read, 0, size - read);
}

void GlyphStore::LoadTable() {
  std::unique_ptr<ByteSource> table = disk_.OpenForReading(TablePath());
  LineReader lines(*table);
  for (TableEntry& entry : CodeTable_) {
    const std::optional<std::string_view> line = lines.NextLine();
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
  MarkBlankSlots();
}

}  // namespace pixtrel
