#include "test_support.h"

#ifdef _WIN32
#include "platform/win32_text.h"
#else
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>

#include "glyphdata/glyph_store.h"
#include "platform/failure.h"

namespace pixtrel::testing {

TempDir::TempDir() {
  std::mt19937_64 random(std::random_device{}());
  for (;;) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pixtrel-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(dir)) {
      path_ = dir.generic_string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

CommandResult RunCommand(const std::string& command, const TempDir& dir) {
  const std::string line = command + " >" + (dir / "out") + " 2>" + (dir / "err") +
                           (command.find('<') != std::string::npos ? "" : " </dev/null");
  const int status = std::system(line.c_str());
#ifdef _WIN32
  const int exit_status = status;
#else
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  return {exit_status, ReadFile(dir / "out"), ReadFile(dir / "err")};
}

std::string NoSuchFileText() {
#ifdef _WIN32
  return SystemMessage(ERROR_FILE_NOT_FOUND);
#else
  return std::strerror(ENOENT);
#endif
}

std::string FailureText(const std::function<void()>& work) {
  try {
    work();
  } catch (const Failure& failure) {
    return failure.what();
  }
  return "no failure";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }

size_t TrickleSource::Read(char* buffer, size_t size) {
  size_t n = std::min({size, piece_, text_.size() - at_});
  std::memcpy(buffer, text_.data() + at_, n);
  at_ += n;
  return n;
}

SetFiles::SetFiles(const std::string& dir) : font_(ReadFile(dir + "/GB2312.bin")) {
  std::ifstream description(dir + "/font-set.txt");
  for (std::string line; std::getline(description, line);) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "size") words >> size_;
    if (key == "half-width") words >> half_width_;
    if (key == "baseline") words >> baseline_;
    for (std::string run; key == "narrow" && words >> run;) {
      const size_t dash = run.find('-');
      const size_t first = std::stoul(run), last = dash == std::string::npos ? first : std::stoul(run.substr(dash + 1));
      for (size_t slot = first; slot <= last; ++slot) narrow_.insert(slot);
    }
  }
  if (half_width_ != 0) half_ = ReadFile(dir + "/half-width.bin");
  if (Exists(dir + "/placeholder.bin")) placeholder_ = ReadFile(dir + "/placeholder.bin");
}

SetCell SetFiles::Cell(const std::string& records, size_t index, int width) const {
  const size_t row_bytes = static_cast<size_t>(width + 7) / 8, at = index * row_bytes * static_cast<size_t>(size_);
  SetCell cell{width, width, 0, std::vector<std::vector<bool>>(static_cast<size_t>(size_))};
  for (size_t y = 0; y < cell.rows.size(); ++y)
    for (int x = 0; x < width; ++x)
      cell.rows[y].push_back(records[at + y * row_bytes + static_cast<size_t>(x / 8)] >> (7 - x % 8) & 1);
  return cell;
}

std::optional<SetCell> SetFiles::Of(uint32_t code_point) const {
  if (code_point >= 0x20 && code_point <= 0x7E) {
    if (half_.empty()) return std::nullopt;
    return Cell(half_, code_point - 0x20, half_width_);
  }
  std::string utf32(4, '\0');
  for (int i = 0; i < 4; ++i) utf32[static_cast<size_t>(i)] = static_cast<char>(code_point >> (8 * i) & 0xFF);
  const std::optional<std::string> cp936 = ConvertText("CP936", "UTF-32LE", utf32);
  if (!cp936 || cp936->size() != 2) return std::nullopt;
  const auto row = static_cast<unsigned char>((*cp936)[0]), column = static_cast<unsigned char>((*cp936)[1]);
  if (row < 0xA1 || row > 0xF7 || column < 0xA1) return std::nullopt;
  const auto slot = static_cast<size_t>((row - 0xA1) * 94 + (column - 0xA1));
  SetCell cell = Cell(font_, slot, size_);
  if (narrow_.contains(slot)) cell.advance = (size_ + 1) / 2, cell.shift = (size_ - cell.advance) / 2;
  return cell;
}

SetCell SetFiles::Placeholder() const { return Cell(placeholder_, 0, size_); }

std::string ExpectedGlyphs(const std::string& data_dir, const std::string& text) {
  const std::string font = ReadFile(data_dir + "/GB2312.bin");
  const std::string table = ReadFile(data_dir + "/GB2312.tbl");
  std::map<std::string, size_t> slot_of;
  size_t slot = 0;
  for (size_t start = 0, end; (end = table.find("\r\n", start)) != std::string::npos; start = end + 2, ++slot)
    if (end - start >= 2) slot_of.emplace(table.substr(end - 2, 2), slot);
  std::string glyphs;
  for (size_t i = 0; i < text.size(); ++i) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 == text.size()) continue;
    auto found = slot_of.find(text.substr(i++, 2));
    if (found != slot_of.end()) glyphs += font.substr(found->second * 32, 32);
  }
  return glyphs;
}

std::vector<uint32_t> CodePoints(const std::string& utf8) {
  std::vector<uint32_t> code_points;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    uint32_t code_point = lead & (length == 1 ? 0x7F : 0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) code_point = code_point << 6 | (utf8[i + k] & 0x3F);
    code_points.push_back(code_point);
    i += length;
  }
  return code_points;
}

std::string TestFont() {
  std::string font(FontSize, '\0');
  for (size_t i = 0; i < FontSize; ++i) font[i] = static_cast<char>((i / GlyphSize * 131 + i % GlyphSize) & 0xFF);
  return font;
}

std::string TestRecord(size_t slot) { return TestFont().substr(slot * GlyphSize, GlyphSize); }

std::string TestTable(const std::map<size_t, std::string>& entries) {
  std::string table;
  for (size_t slot = 0; slot < GlyphCount; ++slot) {
    auto entry = entries.find(slot);
    if (entry != entries.end()) table += "code " + entry->second;
    table += "\r\n";
  }
  return table;
}

std::string DefaultTable() { return TestTable({{0, kAh}, {1, kA}, {2, kZhong}}); }

void WriteDataFiles(const TempDir& dir) {
  WriteFile(dir / "GB2312.bin", TestFont());
  WriteFile(dir / "GB2312.tbl", DefaultTable());
}

std::vector<std::string> RecordingWindow::Captions() const {
  std::vector<std::string> captions;
  for (const std::string& event : events)
    if (event.starts_with("caption ")) captions.push_back(event.substr(8));
  return captions;
}

void RecordingWindow::EnableCommand1(bool enabled) { events.push_back(enabled ? "enable 1" : "enable 0"); }

void RecordingWindow::SetCommand1Caption(const std::string& caption) { events.push_back("caption " + caption); }

void RecordingWindow::ShowMessageBox(const std::string& text) { events.push_back("message " + text); }

void RecordingWindow::ResetForm() { events.push_back("reset"); }

void RecordingWindow::MissingCharacter(SourceCharacter character, int64_t line_number, MissingCause) {
  missing.emplace_back(character.code, line_number);
}

}  // namespace pixtrel::testing
