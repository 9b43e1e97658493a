#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pixtrel {

/// `words` as a sentence lists them, the last two joined by `last_joiner`:
/// "a, b or c" for "or"; "" for none.
std::string WordList(const std::vector<std::string>& words, std::string_view last_joiner);

/// `text` with its ASCII letters in lower case, every other byte as it is.
std::string Lowercase(std::string text);

}  // namespace pixtrel
