#include "glyphdata/font_set.h"

#include <charconv>
#include <string_view>

#include "platform/failure.h"
#include "platform/platform.h"
#include "shipped_sets.h"

namespace pixtrel {

namespace {

/// The whole of the small file `path`, or none when there is none.
std::optional<std::string> ReadIfExists(Disk& disk, const std::string& path) {
  std::unique_ptr<ByteSource> file = disk.OpenIfExists(path);
  if (!file) return std::nullopt;
  return file->ReadAll();
}

std::optional<int> Number(std::string_view text) {
  int value;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

FontSet FontSet::Read(Disk& disk, const std::string& dir) {
  FontSet set;
  const std::string path = JoinPath(dir, kDescriptionFileName);
  const std::optional<std::string> text = ReadIfExists(disk, path);
  if (!text) return set;
  set.described = true;
  int line_number = 0, size_line = 0, half_width_line = 0, baseline_line = 0;
  auto wrong = [&](int line, const std::string& what) { return FileFailure(path + ":" + std::to_string(line), what); };
  for (size_t at = 0; at < text->size();) {
    const size_t end = std::min(text->find('\n', at), text->size());
    std::string_view line = std::string_view(*text).substr(at, end - at);
    at = end + 1;
    ++line_number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.starts_with('#')) continue;
    const size_t space = line.find(' ');
    const std::string_view key = line.substr(0, space), value = space == line.npos ? "" : line.substr(space + 1);
    if (key == "font") {
      set.font = value;
      continue;
    }
    if (key == "placeholder") {
      set.placeholder = value == "yes";
      continue;
    }
    if (key != "size" && key != "half-width" && key != "baseline") continue;  // Said for others to read.
    const std::optional<int> number = Number(value);
    if (!number) throw wrong(line_number, "not a number: " + std::string(value));
    (key == "size" ? set.size : key == "half-width" ? set.half_width : set.baseline) = *number;
    (key == "size" ? size_line : key == "half-width" ? half_width_line : baseline_line) = line_number;
  }
  if (set.size < 8 || set.size > 32) throw wrong(size_line, "the size is not 8 to 32 pixels");
  if (set.half_width != 0 && set.half_width != HalfWidthOf(set.size))
    throw wrong(half_width_line, "the half width of a " + std::to_string(set.size) + "-pixel set is " +
                                     std::to_string(HalfWidthOf(set.size)));
  if (set.baseline < 0 || set.baseline > set.size) throw wrong(baseline_line, "the baseline is not in the cell");
  return set;
}

std::string FontSet::Description() const {
  std::string text = "# A font set of Pixtrel, made by pixtrel-mkfont.\n";
  text += "size " + std::to_string(size) + "\n";
  text += "half-width " + std::to_string(half_width) + "\n";
  text += "baseline " + std::to_string(baseline) + "\n";
  text += std::string("placeholder ") + (placeholder ? "yes" : "no") + "\n";
  text += "font " + font + "\n";
  text += std::string("files ") + kFontFileName + " " + kTableFileName;
  if (half_width != 0) text += std::string(" ") + kHalfWidthFileName;
  if (placeholder) text += std::string(" ") + kPlaceholderFileName;
  return text + "\n";
}

const std::vector<std::string>& DataFileNames() {
  static const std::vector<std::string> names = {kFontFileName,        kTableFileName,       kHalfWidthFileName,
                                                 kPlaceholderFileName, kDescriptionFileName, "LICENSE"};
  return names;
}

ShippedDataPlaces ShippedDataDirectories(const std::string& program_dir) {
  ShippedDataPlaces places{{kInstalledProgramDirs.begin(), kInstalledProgramDirs.end()}, {}};
  for (const char* root : kShippedSetRoots) places.set_roots.push_back(JoinPath(program_dir, root));
  places.set_roots.insert(places.set_roots.end(), kInstalledSetRoots.begin(), kInstalledSetRoots.end());
  return places;
}

}  // namespace pixtrel
