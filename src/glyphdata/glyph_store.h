#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "glyphdata/cp936.h"
#include "glyphdata/font_set.h"
#include "glyphdata/glyph_layout.h"
#include "platform/platform.h"

namespace pixtrel {

/// Bytes per glyph record of the 16 x 16 store: 16 rows of 2 bytes.
inline constexpr size_t GlyphSize = 32;

/// Bytes of the whole 16 x 16 font store.
inline constexpr size_t FontSize = GlyphCount * GlyphSize;

/// One glyph record: its bytes, as many as its shape and layout take.
using GlyphRecord = std::span<const uint8_t>;

/// An entry of the code table: one CP936 character, of one or two bytes,
/// or nothing.
class TableEntry {
 public:
  TableEntry() = default;
  /// An entry of `character`, at most two bytes.
  explicit TableEntry(std::string_view character) : size_(static_cast<uint8_t>(character.size())) {
    character.copy(bytes_, sizeof bytes_);
  }

  std::string_view view() const { return std::string_view(bytes_, size_); }
  size_t size() const { return size_; }
  friend bool operator==(const TableEntry& entry, std::string_view character) { return entry.view() == character; }

 private:
  char bytes_[2] = {};
  uint8_t size_ = 0;
};

/// The font and its code table, loaded once from "GB2312.bin" and
/// "GB2312.tbl" in the program directory and only read afterwards; and for
/// the font sets of pixtrel-extract, their half-width records and their
/// placeholder.
class GlyphStore {
 public:
  /// A store whose data files lie in `program_dir` on `disk`, of records of
  /// `shape` (the window's, 16 x 16, unless said). Bytes start zero and
  /// entries empty until LoadGlyphData.
  explicit GlyphStore(std::string program_dir, Disk& disk = RealDisk(), RecordShape shape = {});

  /// The path of the font file in `dir`: `dir`, "/", "GB2312.bin" (the
  /// separator is joined even when the directory already ends in one).
  static std::string FontPathIn(const std::string& dir);

  /// The path of the code table in `dir`, formed as FontPathIn does.
  static std::string TablePathIn(const std::string& dir);

  /// The font file's path in the program directory.
  std::string FontPath() const { return FontPathIn(program_dir_); }

  /// The code table's path in the program directory.
  std::string TablePath() const { return TablePathIn(program_dir_); }

  /// Fills the store from the two files. A missing or short font file leaves
  /// the bytes it does not supply at zero and is not created; bytes past the
  /// store's size are never read. The table's line k gives entry k - 1 its
  /// last character (empty for an empty line); lines after the last slot are
  /// never read. Throws Failure naming the cause and the path when the font
  /// file exists but cannot be read, or the table is missing, unreadable or
  /// has fewer lines than there are slots.
  void LoadGlyphData();

  /// Loads the half-width records and the placeholder of `set`, the set in
  /// the program directory, as far as it has them. Throws Failure naming
  /// the file when it is missing or short.
  void LoadSetGlyphs(const FontSet& set);

  /// Takes from `set` (the set in the program directory) which of its
  /// glyphs are blank though their characters are no white space, so that a
  /// run takes those characters for missing. A store that is not told (the
  /// window's) takes every record as it comes.
  void MarkBlankGlyphs(const FontSet& set);

  /// True when the glyph of `slot` is marked blank.
  bool IsBlank(size_t slot) const { return !blank_.empty() && blank_[slot]; }

  /// True when the half-width glyph of the printable ASCII character `c` is marked blank.
  bool IsBlankHalfWidth(unsigned char c) const { return !blank_half_width_.empty() && blank_half_width_[c]; }

  /// Lays every record out in `format`, from the font's own layout: for a
  /// glyph file in another byte layout. Called once, after loading.
  void Relayout(RecordFormat format);

  /// The shape of the font's records.
  RecordShape Shape() const { return shape_; }

  /// The bytes of each of the font's records, in their layout.
  size_t RecordSize() const { return record_size_; }

  /// How long a whole font file is.
  size_t FontFileSize() const { return GlyphCount * RecordBytes(shape_, GlyphLayout::kRowMsb); }

  /// How many bytes the font file supplied (FontFileSize() when it was whole
  /// or longer), or none when there was no font file. Set by LoadGlyphData.
  std::optional<size_t> FontFileBytes() const { return font_file_bytes_; }

  /// The index of the first entry equal to the double-byte character `code`,
  /// or none when no entry is (or `code` is no double-byte character).
  std::optional<uint16_t> Lookup(uint16_t code) const {
    if (!IsDoubleByte(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF)))
      return std::nullopt;
    const uint16_t slot = first_slot_[DoubleByteIndex(code)];
    if (slot == kNoSlot) return std::nullopt;
    return static_cast<uint16_t>(slot & ~kBlankBit);
  }

  /// Lookup at one look, for a run: of the double-byte code `code`
  /// (IsDoubleByte), the first entry's slot, with kBlankBit when its glyph
  /// is marked blank; or kNoSlot.
  uint16_t FoundSlot(uint16_t code) const { return first_slot_[DoubleByteIndex(code)]; }

  /// What FoundSlot says of a character no entry holds.
  static constexpr uint16_t kNoSlot = 0xFFFF;
  /// What FoundSlot adds to the slot of a glyph marked blank.
  static constexpr uint16_t kBlankBit = 0x8000;

  /// Glyph record `slot` (less than GlyphCount).
  GlyphRecord Record(size_t slot) const { return GlyphRecord(FontBytes_ + slot * record_size_, record_size_); }

  /// The font store: record j at bytes j * RecordSize() on.
  GlyphRecord FontBytes() const { return GlyphRecord(FontBytes_, GlyphCount * record_size_); }

  /// The shape of the half-width records: half as wide as the font's, as high.
  RecordShape HalfShape() const { return {HalfWidthOf(shape_.width), shape_.height}; }

  /// True when LoadSetGlyphs loaded half-width records.
  bool HasHalfWidth() const { return !half_width_.empty(); }

  /// The half-width record of the printable ASCII character `c`
  /// (kFirstHalfWidth to kLastHalfWidth), when HasHalfWidth.
  GlyphRecord HalfWidthRecord(unsigned char c) const {
    const size_t size = half_width_.size() / (kLastHalfWidth - kFirstHalfWidth + 1);
    return GlyphRecord(half_width_.data() + (c - kFirstHalfWidth) * size, size);
  }

  /// True when LoadSetGlyphs loaded a placeholder.
  bool HasPlaceholder() const { return !placeholder_.empty(); }

  /// The placeholder, a record of the font's shape, when HasPlaceholder.
  GlyphRecord Placeholder() const { return placeholder_; }

  /// The code table: entry j is the character (CP936 bytes) of record j, or empty.
  const std::array<TableEntry, GlyphCount>& CodeTable() const { return CodeTable_; }

 protected:
  /// The directory the data files lie in.
  const std::string& ProgramDir() const { return program_dir_; }

  /// The disk the data files lie on.
  Disk& disk() const { return disk_; }

 private:
  void LoadFont();
  void LoadTable();
  void IndexTable();
  /// Marks the slots of first_slot_ whose glyphs are marked blank.
  void MarkBlankSlots();
  /// The `count` records of `shape` in the file `name` of the program directory.
  std::vector<uint8_t> ReadRecords(const char* name, RecordShape shape, size_t count) const;

  std::string program_dir_;
  Disk& disk_;
  RecordShape shape_;
  size_t record_size_;
  struct Free {
    void operator()(uint8_t* bytes) const;
  };
  /// The font file mapped into memory, when it is whole; else none, and
  /// the bytes are read into read_font_.
  std::unique_ptr<MappedFile> mapped_font_;
  std::unique_ptr<uint8_t[], Free> read_font_;
  std::vector<uint8_t> laid_out_font_;  ///< The font once laid out anew.
  uint8_t* FontBytes_;                  ///< The font store: mapped_font_'s bytes, read_font_ or laid_out_font_.
  std::vector<uint8_t> half_width_;     ///< The half-width records, or none.
  std::vector<uint8_t> placeholder_;    ///< The placeholder, or none.
  std::optional<size_t> font_file_bytes_;
  std::vector<bool> blank_;             ///< By slot, when marked.
  std::vector<bool> blank_half_width_;  ///< By character, when marked.
  std::array<TableEntry, GlyphCount> CodeTable_;
  /// For every double-byte code, at DoubleByteIndex, the first entry that
  /// holds it (with kBlankBit when its glyph is marked blank), or kNoSlot.
  std::array<uint16_t, kDoubleByteCodes> first_slot_;
};

}  // namespace pixtrel
