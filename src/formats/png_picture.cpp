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
  const GlyphSource& store = *request_.glyphs;
  int64_t widest = 0, width = 0;
  log_.Walk([&](const WrittenGlyph& glyph, int64_t) { width += store.ShapeOf(glyph).width; },
            [&](int64_t) { widest = std::max(widest, std::exchange(width, 0)); });
  if (max_width_) widest = std::max<int64_t>(widest, *max_width_ + 1);  // Room for the limit's line.
  const int height = store.Metrics().cell.height;
  const int64_t picture_width = widest * scale_, picture_height = log_.lines() * height * scale_;
  if (picture_width > kLargestSide || picture_height > kLargestSide)
    throw FileFailure(file().path(), "A picture of " + std::to_string(picture_width) + " x " +
                                         std::to_string(picture_height) + " pixels is more than PNG readers take");

  GlyphFile out(file().output());
  GlyphFileSink sink(out);
  PngWriter png(sink, file().path().empty() ? "-" : file().path(), static_cast<uint32_t>(picture_width),
                static_cast<uint32_t>(picture_height));
  std::vector<WrittenGlyph> line;
  std::vector<uint8_t> row(static_cast<size_t>(picture_width) * 3);
  const int64_t limit = max_width_ ? *max_width_ : -1;
  const int most = (1 << request_.record_format.bpp) - 1;
  auto draw_line = [&](int64_t) {
    for (int y = 0; y < height; ++y) {
      for (size_t x = 0; x < row.size(); x += 3) std::memcpy(&row[x], PictureColours::kBackground, 3);
      int64_t x0 = 0;
      for (const WrittenGlyph& glyph : line) {
        const RecordShape shape{store.ShapeOf(glyph).width, height};
        const GlyphRecord record = store.RecordOf(glyph);
        for (int x = 0; x < shape.width; ++x) {
          const int level = LevelAt(record.data(), shape, request_.record_format, x, y);
          if (level == 0) continue;
          const uint8_t* ink = x0 + x >= limit && limit >= 0           ? PictureColours::kOver
                               : glyph.kind == GlyphKind::kPlaceholder ? PictureColours::kPlaceholder
                                                                       : PictureColours::kInk;
          // Coverage blends the ink into the background.
          uint8_t colour[3];
          for (int c = 0; c < 3; ++c)
            colour[c] = static_cast<uint8_t>(PictureColours::kBackground[c] +
                                             (ink[c] - PictureColours::kBackground[c]) * level / most);
          for (int k = 0; k < scale_; ++k)
            std::memcpy(&row[static_cast<size_t>(((x0 + x) * scale_ + k) * 3)], colour, 3);
        }
        x0 += shape.width;
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
