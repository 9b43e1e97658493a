#include "formats/png_picture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "extract/glyph_file.h"
#include "platform/failure.h"
#include "platform/png_writer.h"

namespace pixtrel {

namespace {

/// The most pixels a side of a picture may have, as PNG readers take them.
constexpr int64_t kLargestSide = 1'000'000;

/// A sink that appends to a glyph file, so the picture is written as the
/// other files are.
class GlyphFileSink : public ByteSink {
 public:
  explicit GlyphFileSink(GlyphFile& file) : file_(file) {}
  void Write(const char* bytes, size_t size) override {
    file_.Append(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes), size));
  }
  void Close() override { file_.Close(); }

 private:
  GlyphFile& file_;
};

}  // namespace

PngPicture::PngPicture(const FormatRequest& request, const std::string& path, int scale, std::optional<int> max_width)
    : OneFileFormat(*request.disk, path),
      request_(request),
      scale_(scale),
      max_width_(max_width),
      log_(*request.disk) {}

void PngPicture::Finish() {
  LineLayout& layout = *layout_;
  int64_t widest = 0;  // Lines are laid out twice: for the picture's width, then to be drawn.
  std::vector<WrittenGlyph> line;
  log_.Walk([&](const WrittenGlyph& glyph, int64_t) { line.push_back(glyph); },
            [&](int64_t) {
              LaidOutLine laid = layout.Lay(line);
              for (const PlacedGlyph& placed : laid.glyphs)
                widest = std::max<int64_t>(widest, placed.x + placed.ink->box_w);
              widest = std::max(widest, laid.width);
              line.clear();
            });
  if (max_width_) widest = std::max<int64_t>(widest, *max_width_ + 1);  // Room for the limit's line.
  const int height = layout.LineHeight();
  const int64_t picture_width = widest * scale_, picture_height = log_.lines() * height * scale_;
  if (picture_width > kLargestSide || picture_height > kLargestSide)
    throw FileFailure(file().path(), "A picture of " + std::to_string(picture_width) + " x " +
                                         std::to_string(picture_height) + " pixels is more than PNG readers take");

  GlyphFile out(file().output());
  GlyphFileSink sink(out);
  PngWriter png(sink, file().path().empty() ? "-" : file().path(), static_cast<uint32_t>(picture_width),
                static_cast<uint32_t>(picture_height));
  std::vector<uint8_t> row(static_cast<size_t>(picture_width) * 3);
  const int64_t limit = max_width_ ? *max_width_ : -1;
  const int most = (1 << request_.record_format.bpp) - 1;
  auto draw_line = [&](int64_t) {
    const LaidOutLine laid = layout.Lay(line);
    for (int y = 0; y < height; ++y) {
      for (size_t x = 0; x < row.size(); x += 3) std::memcpy(&row[x], PictureColours::kBackground, 3);
      for (const PlacedGlyph& placed : laid.glyphs) {
        const FontGlyph& ink = *placed.ink;
        const int row_in_box = y - placed.top;
        if (row_in_box < 0 || row_in_box >= ink.box_h) continue;
        for (int x = 0; x < ink.box_w; ++x) {
          const int level = ink.levels[static_cast<size_t>(row_in_box * ink.box_w + x)];
          const int64_t at = placed.x + x;
          if (level == 0 || at < 0 || at >= widest) continue;
          const uint8_t* colour_of_ink = at >= limit && limit >= 0                ? PictureColours::kOver
                                         : placed.kind == GlyphKind::kPlaceholder ? PictureColours::kPlaceholder
                                                                                  : PictureColours::kInk;
          // Coverage blends the ink into the background.
          uint8_t colour[3];
          for (int c = 0; c < 3; ++c)
            colour[c] = static_cast<uint8_t>(PictureColours::kBackground[c] +
                                             (colour_of_ink[c] - PictureColours::kBackground[c]) * level / most);
          for (int k = 0; k < scale_; ++k) std::memcpy(&row[static_cast<size_t>((at * scale_ + k) * 3)], colour, 3);
        }
      }
      if (limit >= 0) std::memcpy(&row[static_cast<size_t>(limit * scale_ * 3)], PictureColours::kOver, 3);
      for (int k = 0; k < scale_; ++k) png.WriteRow(row.data());
    }
    line.clear();
  };
  log_.Walk([&](const WrittenGlyph& glyph, int64_t) { line.push_back(glyph); }, draw_line);
  png.Finish();
  out.Close();
}

}  // namespace pixtrel
