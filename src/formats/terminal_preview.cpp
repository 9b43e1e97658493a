#include "formats/terminal_preview.h"

#include <cstdio>
#include <string>
#include <vector>

#include "glyphdata/font_set.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "platform/word_list.h"

namespace pixtrel {

namespace {

/// The half block that shows an upper and a lower pixel.
const char* HalfBlock(bool upper, bool lower) {
  if (upper) return lower ? "\u2588" : "\u2580";
  return lower ? "\u2584" : " ";
}

}  // namespace

TerminalPreview::TerminalPreview(int columns, RecordFormat format, std::function<void(const std::string&)> write)
    : columns_(columns), format_(format), write_(std::move(write)) {}

void TerminalPreview::Add(GlyphRecord record, RecordShape shape) {
  if (!band_.empty() && band_width_ + shape.width > columns_) DrawBand();
  band_.emplace_back(std::vector<uint8_t>(record.begin(), record.end()), shape);
  band_width_ += shape.width;
}

void TerminalPreview::Finish() {
  if (!band_.empty()) DrawBand();
}

void TerminalPreview::DrawBand() {
  std::string art;
  const int height = band_.front().second.height;
  for (int row = 0; row < height; row += 2) {
    for (const auto& [record, shape] : band_) {
      for (int column = 0; column < shape.width; ++column)
        art += HalfBlock(Inked(record.data(), shape, format_, column, row),
                         row + 1 < height && Inked(record.data(), shape, format_, column, row + 1));
    }
    art += '\n';
  }
  write_(art);
  band_.clear();
  band_width_ = 0;
}

std::string TerminalPreview::Of(std::string_view records, RecordShape shape, int columns, RecordFormat format) {
  std::string art;
  TerminalPreview preview(columns, format, [&](const std::string& band) { art += band; });
  const size_t size = RecordBytes(shape, format.layout);
  for (size_t at = 0; at + size <= records.size(); at += size)
    preview.Add(GlyphRecord(reinterpret_cast<const uint8_t*>(records.data()) + at, size), shape);
  preview.Finish();
  return art;
}

namespace {

/// Which sizes of sets have records a file of `length` bytes is a whole
/// number of, for the message of one that does not fit the set it is shown with.
std::string SetsThatFit(int64_t length, GlyphLayout layout) {
  std::vector<std::string> sizes;
  for (int size = kSmallestSet; size <= kLargestSet; ++size)
    if (length > 0 && length % static_cast<int64_t>(RecordBytes({size, size}, layout)) == 0)
      sizes.push_back(std::to_string(size));
  if (sizes.empty()) return "; it fits the records of no set";
  return "; it fits the records of a set of " + WordList(sizes, "or") + " pixels (--data-dir such a set)";
}

}  // namespace

void DrawGlyphFile(const std::string& path, RecordShape shape, int columns, std::FILE* out, RecordFormat format) {
  if (RealDisk().KindOf(RealDisk().FollowLinks(path)) == FileKind::kDirectory)
    throw FileFailure(path, "Is a directory");
  std::unique_ptr<ByteSource> file = RealDisk().OpenForReading(path);
  const size_t size = RecordBytes(shape, format.layout);
  const std::string not_whole =
      "Length is not a multiple of " + std::to_string(size) + " bytes" + SetsThatFit(file->Length(), format.layout);
  if (file->Length() % static_cast<int64_t>(size) != 0) throw FileFailure(path, not_whole);
  TerminalPreview preview(columns, format, [out](const std::string& band) { WriteText(out, band); });
  std::vector<uint8_t> record(size);
  for (size_t read; (read = file->ReadFull(reinterpret_cast<char*>(record.data()), size)) != 0;) {
    if (read != size) throw FileFailure(path, not_whole);
    preview.Add(record, shape);
  }
  preview.Finish();
}

}  // namespace pixtrel
