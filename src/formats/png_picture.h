#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/glyph_format.h"
#include "formats/glyph_log.h"
#include "formats/target_file.h"

namespace pixtrel {

/// The colours of a picture: a monochrome OLED's.
struct PictureColours {
  static constexpr uint8_t kBackground[3] = {0x08, 0x0C, 0x14};
  static constexpr uint8_t kInk[3] = {0xD8, 0xF0, 0xFF};
  static constexpr uint8_t kPlaceholder[3] = {0xFF, 0xB0, 0x20};  ///< The ink of a placeholder.
  static constexpr uint8_t kOver[3] = {0xFF, 0x40, 0x40};         ///< Ink past the width, and the limit's line.
};

/// A PNG picture of the text as the display draws what a run appends:
/// line under line, each glyph where the format's library lays it out
/// (records in their cells for a glyph stream), its coverage blended into
/// the background, each pixel a square of `scale`; a placeholder in a
/// colour of its own; with a maximum width, a line one picture pixel wide
/// at the limit and the ink past it in red. Written after the run, at
/// `path`, under a temporary name, put in place by Install; an output
/// beside the run's format, not fed its stream.
class PngPicture : public OneFileFormat {
 public:
  PngPicture(const FormatRequest& request, const std::string& path, int scale, std::optional<int> max_width);

  GlyphOutput& Stream() override { return discarded_; }
  CharacterReport* Report() override { return &log_; }

  /// Lays lines out as `layout` does, which outlives the picture; before Finish.
  void UseLayout(LineLayout& layout) { layout_ = &layout; }

  /// Draws the picture. Throws Failure naming its file.
  void Finish() override;

 private:
  FormatRequest request_;
  LineLayout* layout_ = nullptr;
  int scale_;
  std::optional<int> max_width_;
  DiscardedGlyphOutput discarded_;
  GlyphLog log_;
};

}  // namespace pixtrel
