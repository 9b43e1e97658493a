#include "glyphdata/cp936.h"

namespace pixtrel {

std::string_view LastCharacter(std::string_view text) {
  std::string_view last;
  ForEachCharacter(text, [&](size_t offset, size_t length) { last = text.substr(offset, length); });
  return last;
}

}  // namespace pixtrel
