#include "glyphdata/font_set.h"

#include <algorithm>
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

/// `numbers` (ascending) as runs: "3 5-9 12".
std::string Runs(const std::vector<uint16_t>& numbers) {
  std::string text;
  for (size_t i = 0; i < numbers.size();) {
    size_t end = i + 1;
    while (end < numbers.size() && numbers[end] == numbers[end - 1] + 1) ++end;
    text += (text.empty() ? "" : " ") + std::to_string(numbers[i]);
    if (end - i > 1) text += "-" + std::to_string(numbers[end - 1]);
    i = end;
  }
  return text;
}

/// The numbers of runs "3 5-9 12", ascending and each at most `last`; none
/// when `text` is no such list.
std::optional<std::vector<uint16_t>> ParseRuns(std::string_view text, int last) {
  std::vector<uint16_t> numbers;
  while (!text.empty()) {
    const std::string_view run = text.substr(0, text.find(' '));
    text.remove_prefix(std::min(run.size() + 1, text.size()));
    const size_t dash = run.find('-');
    const std::optional<int> first = Number(run.substr(0, dash));
    const std::optional<int> end = dash == run.npos ? first : Number(run.substr(dash + 1));
    if (!first || !end || *first > *end || *end > last || (!numbers.empty() && *first <= numbers.back()))
      return std::nullopt;
    for (int n = *first; n <= *end; ++n) numbers.push_back(static_cast<uint16_t>(n));
  }
  return numbers;
}

}  // namespace

bool IsWhiteSpace(uint32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

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
    if (key == "blank" || key == "blank-half-width" || key == "narrow") {
      const bool full = key != "blank-half-width";
      std::optional<std::vector<uint16_t>> runs =
          ParseRuns(value, full ? static_cast<int>(GlyphCount) - 1 : kLastHalfWidth);
      if (!runs) throw wrong(line_number, "not ascending numbers or runs of them: " + std::string(value));
      (key == "blank" ? set.blank : key == "narrow" ? set.narrow : set.blank_half_width) = std::move(*runs);
      continue;
    }
    if (key != "size" && key != "half-width" && key != "baseline") continue;  // Said for others to read.
    const std::optional<int> number = Number(value);
    if (!number) throw wrong(line_number, "not a number: " + std::string(value));
    (key == "size" ? set.size : key == "half-width" ? set.half_width : set.baseline) = *number;
    (key == "size" ? size_line : key == "half-width" ? half_width_line : baseline_line) = line_number;
  }
  if (set.size < kSmallestSet || set.size > kLargestSet)
    throw wrong(size_line,
                "the size is not " + std::to_string(kSmallestSet) + " to " + std::to_string(kLargestSet) + " pixels");
  if (baseline_line == 0) set.baseline = set.size - 2;  // As a 16-pixel set's, two rows above the bottom.
  if (set.half_width != 0 && set.half_width != HalfWidthOf(set.size))
    throw wrong(half_width_line, "the half width of a " + std::to_string(set.size) + "-pixel set is " +
                                     std::to_string(HalfWidthOf(set.size)));
  if (set.baseline < 0 || set.baseline > set.size) throw wrong(baseline_line, "the baseline is not in the cell");
  return set;
}

size_t FontFileBytesOf(int size) { return GlyphCount * RecordBytes({size, size}, GlyphLayout::kRowMsb); }

void FontSet::CheckFileSizes(Disk& disk, const std::string& dir) const {
  auto length_of = [&](const char* name) -> std::optional<int64_t> {
    std::unique_ptr<ByteSource> file = disk.OpenIfExists(JoinPath(dir, name));
    if (!file) return std::nullopt;
    return file->Length();
  };
  const std::string pixels = std::to_string(size) + "-pixel set";
  auto wrong = [&](const char* name, int64_t length, const std::string& expected) {
    return FileFailure(JoinPath(dir, name), std::to_string(length) + " bytes, " + expected);
  };
  if (const std::optional<int64_t> font = length_of(kFontFileName); font && font != ByteSource::kUnknownLength) {
    const auto whole = static_cast<int64_t>(FontFileBytesOf(size));
    const std::string says = (described ? std::string(kDescriptionFileName) + " says "
                                        : std::string("without ") + kDescriptionFileName + " a set is ") +
                             std::to_string(size) + " pixels (" + std::to_string(whole) + " bytes)";
    for (int other = kSmallestSet; other <= kLargestSet; ++other)
      if (other != size && *font == static_cast<int64_t>(FontFileBytesOf(other)))
        throw wrong(kFontFileName, *font, "the size of a " + std::to_string(other) + "-pixel set; " + says);
    if (*font > whole)
      throw wrong(kFontFileName, *font, "longer than the " + std::to_string(whole) + " of a " + pixels);
  }
  auto check_records = [&](const char* name, RecordShape shape, size_t count, const std::string& what_takes) {
    const auto expected = static_cast<int64_t>(count * RecordBytes(shape, GlyphLayout::kRowMsb));
    const std::optional<int64_t> length = length_of(name);
    if (length && *length != expected && *length != ByteSource::kUnknownLength)
      throw wrong(name, *length, "while " + what_takes + " " + std::to_string(expected));
  };
  if (half_width != 0)
    check_records(kHalfWidthFileName, HalfShape(), kLastHalfWidth - kFirstHalfWidth + 1,
                  "the half-width glyphs of a " + pixels + " take");
  if (placeholder) check_records(kPlaceholderFileName, FullShape(), 1, "the placeholder of a " + pixels + " takes");
}

std::string FontSet::Description() const {
  std::string text = "# A font set of Pixtrel, made by pixtrel-mkfont.\n";
  text += "size " + std::to_string(size) + "\n";
  text += "half-width " + std::to_string(half_width) + "\n";
  text += "baseline " + std::to_string(baseline) + "\n";
  text += std::string("placeholder ") + (placeholder ? "yes" : "no") + "\n";
  text += "font " + font + "\n";
  if (!blank.empty()) text += "blank " + Runs(blank) + "\n";
  if (!blank_half_width.empty()) text += "blank-half-width " + Runs(blank_half_width) + "\n";
  if (!narrow.empty()) text += "narrow " + Runs(narrow) + "\n";
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

std::optional<std::string> ShippedSetDirectory(Disk& disk, const std::string& program_dir, const std::string& name) {
  if (std::none_of(kShippedSetNames.begin(), kShippedSetNames.end(), [&](const char* set) { return name == set; }))
    return std::nullopt;
  for (const std::string& root : ShippedDataDirectories(program_dir).set_roots)
    if (disk.KindOf(disk.FollowLinks(JoinPath(root, name))) == FileKind::kDirectory) return JoinPath(root, name);
  return std::nullopt;
}

ShippedDataPlaces ShippedDataDirectories(const std::string& program_dir) {
  ShippedDataPlaces places{{kInstalledProgramDirs.begin(), kInstalledProgramDirs.end()}, {}};
  for (const char* root : kShippedSetRoots) places.set_roots.push_back(JoinPath(program_dir, root));
  places.set_roots.insert(places.set_roots.end(), kInstalledSetRoots.begin(), kInstalledSetRoots.end());
  return places;
}

}  // namespace pixtrel
