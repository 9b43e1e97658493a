// Text conversion by the C library's iconv.

#include <iconv.h>

#include <cerrno>

#include "platform/failure.h"
#include "platform/platform.h"

namespace pixtrel {

std::optional<std::string> ConvertText(const char* to, const char* from, std::string_view text) {
  const iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1))
    throw Failure(std::string("No conversion from ") + from + " to " + to + " in the C library");
  std::string converted(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char* out = converted.data();
  size_t out_left = converted.size();
  const size_t result = iconv(converter, &in, &in_left, &out, &out_left);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) return std::nullopt;
  converted.resize(converted.size() - out_left);
  return converted;
}

}  // namespace pixtrel
