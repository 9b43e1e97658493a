#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "glyphdata/cp936.h"

namespace pixtrel::fuzzing {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "Broken: %s\n", what);
  std::abort();
}

std::vector<std::string_view> PlainLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string PlainLastCharacter(std::string_view line) {
  std::string_view last;
  for (size_t i = 0; i < line.size();) {
    size_t length = i + 1 < line.size() && IsDoubleByte(line[i], line[i + 1]) ? 2 : 1;
    last = line.substr(i, length);
    i += length;
  }
  return std::string(last);
}

}  // namespace pixtrel::fuzzing
