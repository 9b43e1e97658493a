#include "formats/c_text.h"

namespace pixtrel {

std::string InComment(const std::string& text) {
  std::string safe;
  for (size_t i = 0; i < text.size(); ++i) {
    safe += text[i];
    if (text[i] == '*' && i + 1 < text.size() && text[i + 1] == '/') safe += ' ';
  }
  return safe;
}

}  // namespace pixtrel
