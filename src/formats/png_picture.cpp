#include "formats/png_picture.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <vector>

#include "extract/glyph_file.h"
#include "platform/failure.h"
#include "platform/hexadecimal.h"
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

const char* KindName(GlyphKind kind) {
  switch (kind) {
    case GlyphKind::kTable:
      return "table";
    case GlyphKind::kHalfWidth:
      return "half-width";
    case GlyphKind::kPlaceholder:
      return "placeholder";
    case GlyphKind::kFont:
      break;
  }
  return "font";
}

/// The levels of `ink`, two hexadecimal digits a pixel, rows from the top.
std::string HexLevels(const FontGlyph& ink) { return Hexadecimal(ink.levels); }

/// The map of a picture: each distinct glyph once, and where each line has them.
class PictureMap {
 public:
  explicit PictureMap(const GlyphSource& glyphs) : glyphs_(glyphs) {}

  /// Adds the glyphs of the line `line` (from 0), as `laid` places them.
  void AddLine(int64_t line, const LaidOutLine& laid) {
    for (const PlacedGlyph& placed : laid.glyphs)
      placed_.push_back({line, placed.x, placed.top, static_cast<int64_t>(IndexOf(placed))});
  }

  /// The map as JSON, with what the picture says of itself.
  std::string Json(nlohmann::json picture) const {
    picture["glyphs"] = glyphs_json_;
    picture["placed"] = placed_;
    return picture.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }

 private:
  size_t IndexOf(const PlacedGlyph& placed) {
    auto [at, fresh] = index_.try_emplace(placed.ink, index_.size());
    if (fresh) {
      const FontGlyph& ink = *placed.ink;
      glyphs_json_.push_back({{"code_point", glyphs_.CharacterOf(placed.glyph).code_point},
                              {"kind", KindName(placed.glyph.kind)},
                              {"font", glyphs_.FontOf(placed.glyph)},
                              {"w", ink.box_w},
                              {"h", ink.box_h},
                              {"levels", HexLevels(ink)}});
    }
    return at->second;
  }

  const GlyphSource& glyphs_;
  std::map<const FontGlyph*, size_t> index_;
  nlohmann::json glyphs_json_ = nlohmann::json::array();
  std::vector<std::array<int64_t, 4>> placed_;  ///< Line, x, top, glyph.
};

}  // namespace

PngPicture::PngPicture(const FormatRequest& request, const PictureRequest& picture)
    : request_(request), picture_(picture), file_(*request.disk, picture.path), log_(*request.disk) {
  if (picture.map) map_.emplace(*request.disk, *picture.map);
}

void PngPicture::Install() {
  file_.Install();
  if (map_) map_->Install();
}

void PngPicture::RemoveOld() {
  file_.RemoveOld();
  if (map_) map_->RemoveOld();
}

std::vector<std::string> PngPicture::Targets() const {
  std::vector<std::string> targets = file_.Targets();
  if (map_) targets.push_back(map_->path());
  return targets;
}

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
  const std::optional<int>& max_width = picture_.max_width;
  if (max_width) widest = std::max<int64_t>(widest, *max_width + 1);  // Room for the limit's line.
  const int height = layout.LineHeight(), scale = picture_.scale;
  const int64_t picture_width = widest * scale, picture_height = log_.lines() * height * scale;
  if (picture_width > kLargestSide || picture_height > kLargestSide)
    throw FileFailure(file_.path(), "A picture of " + std::to_string(picture_width) + " x " +
                                        std::to_string(picture_height) + " pixels is more than PNG readers take");

  GlyphFile out(file_.output());
  GlyphFileSink sink(out);
  PngWriter png(sink, file_.path().empty() ? "-" : file_.path(), static_cast<uint32_t>(picture_width),
                static_cast<uint32_t>(picture_height));
  std::vector<uint8_t> row(static_cast<size_t>(picture_width) * 3);
  const int64_t limit = max_width ? *max_width : -1;
  const int most = (1 << request_.record_format.bpp) - 1;
  const uint8_t* background = picture_.colours.background.data();
  PictureMap map(*request_.glyphs);
  auto draw_line = [&](int64_t line_number) {
    const LaidOutLine laid = layout.Lay(line);
    if (map_) map.AddLine(line_number - 1, laid);
    for (int y = 0; y < height; ++y) {
      for (size_t x = 0; x < row.size(); x += 3) std::memcpy(&row[x], background, 3);
      for (const PlacedGlyph& placed : laid.glyphs) {
        const FontGlyph& ink = *placed.ink;
        const int row_in_box = y - placed.top;
        if (row_in_box < 0 || row_in_box >= ink.box_h) continue;
        for (int x = 0; x < ink.box_w; ++x) {
          const int level = ink.levels[static_cast<size_t>(row_in_box * ink.box_w + x)];
          const int64_t at = placed.x + x;
          if (level == 0 || at < 0 || at >= widest) continue;
          const uint8_t* colour_of_ink = at >= limit && limit >= 0                      ? PictureColours::kOver
                                         : placed.glyph.kind == GlyphKind::kPlaceholder ? PictureColours::kPlaceholder
                                                                                        : picture_.colours.ink.data();
          // Coverage blends the ink into the background.
          uint8_t colour[3];
          for (int c = 0; c < 3; ++c)
            colour[c] = static_cast<uint8_t>(background[c] + (colour_of_ink[c] - background[c]) * level / most);
          for (int k = 0; k < scale; ++k) std::memcpy(&row[static_cast<size_t>((at * scale + k) * 3)], colour, 3);
        }
      }
      if (limit >= 0) std::memcpy(&row[static_cast<size_t>(limit * scale * 3)], PictureColours::kOver, 3);
      for (int k = 0; k < scale; ++k) png.WriteRow(row.data());
    }
    line.clear();
  };
  log_.Walk([&](const WrittenGlyph& glyph, int64_t) { line.push_back(glyph); }, draw_line);
  png.Finish();
  out.Close();
  if (map_)
    map_->WriteWhole(map.Json({{"width", widest},
                               {"line_height", height},
                               {"lines", log_.lines()},
                               {"bpp", request_.record_format.bpp},
                               {"max_width", max_width ? nlohmann::json(*max_width) : nlohmann::json()}}));
}

}  // namespace pixtrel
