#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "formats/glyph_format.h"
#include "formats/glyph_log.h"
#include "formats/target_file.h"

namespace pixtrel {

/// A colour: red, green and blue.
using Rgb = std::array<uint8_t, 3>;

/// The colours of a picture: unless asked for others, a monochrome OLED's.
struct PictureColours {
  static constexpr uint8_t kBackground[3] = {0x08, 0x0C, 0x14};
  static constexpr uint8_t kInk[3] = {0xD8, 0xF0, 0xFF};
  static constexpr uint8_t kPlaceholder[3] = {0xFF, 0xB0, 0x20};  ///< The ink of a placeholder.
  static constexpr uint8_t kOver[3] = {0xFF, 0x40, 0x40};         ///< Ink past the width, and the limit's line.

  Rgb ink = {kInk[0], kInk[1], kInk[2]};
  Rgb background = {kBackground[0], kBackground[1], kBackground[2]};
  friend bool operator==(const PictureColours&, const PictureColours&) = default;
};

/// What a picture is asked to be.
struct PictureRequest {
  std::string path;                ///< The PNG file.
  int scale = 4;                   ///< Each pixel a square of `scale`.
  std::optional<int> max_width;    ///< The display's width, marked.
  PictureColours colours;          ///< The display's ink and background.
  std::optional<std::string> map;  ///< The map of the picture's glyphs, as JSON.
};

/// A PNG picture of the text as the display draws what a run appends:
/// line under line, each glyph where the format's library lays it out
/// (records in their cells for a glyph stream), its coverage blended into
/// the background, each pixel a square of the scale; a placeholder in a
/// colour of its own; with a maximum width, a line one picture pixel wide
/// at the limit and the ink past it in red. With a map, a JSON file beside
/// it telling where each glyph lies (in the display's pixels: the
/// picture's divided by the scale), its character, the font that drew it
/// and its levels. Written after the run, under temporary names, put in
/// place by Install; an output beside the run's format, not fed its stream.
class PngPicture : public GlyphFormat {
 public:
  PngPicture(const FormatRequest& request, const PictureRequest& picture);

  GlyphOutput& Stream() override { return discarded_; }
  CharacterReport* Report() override { return &log_; }

  /// Lays lines out as `layout` does, which outlives the picture; before Finish.
  void UseLayout(LineLayout& layout) { layout_ = &layout; }

  /// Draws the picture, and writes its map. Throws Failure naming the file.
  void Finish() override;
  void Install() override;
  void RemoveOld() override;
  std::vector<std::string> Targets() const override;

 private:
  FormatRequest request_;
  PictureRequest picture_;
  TargetFile file_;
  std::optional<TargetFile> map_;
  LineLayout* layout_ = nullptr;
  DiscardedGlyphOutput discarded_;
  GlyphLog log_;
};

}  // namespace pixtrel
