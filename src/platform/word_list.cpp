#include "platform/word_list.h"

namespace pixtrel {

std::string WordList(const std::vector<std::string>& words, std::string_view last_joiner) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " " + std::string(last_joiner) + " " : ", ";
    text += words[i];
  }
  return text;
}

std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

}  // namespace pixtrel
