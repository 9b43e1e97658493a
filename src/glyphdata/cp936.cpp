#include "glyphdata/cp936.h"

namespace pixtrel {

std::string_view LastCharacter(std::string_view text) {
  // Trail bytes overlap lead bytes, so characters are only found from the start.
  size_t start = 0;
  size_t length = 0;
  for (size_t i = 0; i < text.size(); i += length) {
    start = i;
    length = CharacterLength(text, i);
  }
  return text.substr(start, length);
}

}  // namespace pixtrel
