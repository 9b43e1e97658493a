#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "glyphdata/glyph_layout.h"
#include "glyphdata/glyph_store.h"

namespace pixtrel {

/// Draws glyph records as text art in UTF-8: each record as many columns
/// wide as it is pixels wide, each line of Unicode half blocks two of its
/// rows; records stand side by side in a band as far as `columns` allows
/// (always at least one), and each band of them is followed by the next.
/// The records all have the same height.
class TerminalPreview {
 public:
  /// A preview of records in `format`, `columns` wide, whose bands go to `write`.
  TerminalPreview(int columns, RecordFormat format, std::function<void(const std::string& band)> write);

  /// Draws `record`, of `shape`, after those before it.
  void Add(GlyphRecord record, RecordShape shape);

  /// Draws the last band.
  void Finish();

  /// The art of `records`, whole records of `shape` one after another, as a
  /// TerminalPreview writes it.
  static std::string Of(std::string_view records, RecordShape shape, int columns, RecordFormat format = {});

 private:
  void DrawBand();

  int columns_;
  RecordFormat format_;
  std::function<void(const std::string&)> write_;
  std::vector<std::pair<std::vector<uint8_t>, RecordShape>> band_;
  int band_width_ = 0;
};

/// Draws the glyph file `path`, of records of `shape`, on `out` as
/// TerminalPreview does, a band at a time. Throws Failure naming the path
/// when it cannot be read or its length is not a multiple of the record size.
void DrawGlyphFile(const std::string& path, RecordShape shape, int columns, std::FILE* out, RecordFormat format = {});

}  // namespace pixtrel
