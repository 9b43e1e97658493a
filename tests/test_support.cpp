#include "test_support.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "glyphdata/glyph_store.h"
#include "platform/failure.h"

namespace pixtrel::testing {

TempDir::TempDir() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/pixtrel-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + pattern);
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

CommandResult RunCommand(const std::string& command, const TempDir& dir) {
  const std::string line = command + " >" + (dir / "out") + " 2>" + (dir / "err") +
                           (command.find('<') != std::string::npos ? "" : " </dev/null");
  const int status = std::system(line.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "out"), ReadFile(dir / "err")};
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

void RecordingWindow::MissingCharacter(SourceCharacter character, int64_t line_number) {
  missing.emplace_back(character.code, line_number);
}

}  // namespace pixtrel::testing
