#pragma once

#include <string>

namespace pixtrel {

/// True when `a` and `b` name the same file: the same path, the same
/// existing file (links, hard links), or the same place once "." and ".."
/// forms, repeated separators and links in the existing part are resolved.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace pixtrel
