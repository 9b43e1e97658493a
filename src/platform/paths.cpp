#include "platform/platform.h"

namespace pixtrel {

size_t NameStart(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1])) return i;
  return 0;
}

std::string JoinPath(const std::string& dir, std::string_view name) {
#ifdef _WIN32
  constexpr char kSeparator = '\\';
#else
  constexpr char kSeparator = '/';
#endif
  return std::string(dir).append(1, kSeparator).append(name);
}

}  // namespace pixtrel
