#include "cli/iconv_converter.h"

#include <cerrno>

#include "glyphdata/failure.h"

namespace pixtrel {

IconvConverter::IconvConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
  if (handle_ == reinterpret_cast<iconv_t>(-1))
    throw Failure(std::string("No conversion from ") + from + " to " + to + " in the C library");
}

IconvConverter::~IconvConverter() { iconv_close(handle_); }

bool IconvConverter::Convert(std::string_view* in, char** out, size_t* out_left) {
  char* in_at = const_cast<char*>(in->data());
  size_t in_left = in->size();
  size_t result = iconv(handle_, &in_at, &in_left, out, out_left);
  *in = in->substr(in->size() - in_left);
  return result != static_cast<size_t>(-1);
}

std::optional<std::string> IconvConverter::Whole(const char* to, const char* from, std::string_view text) {
  IconvConverter converter(to, from);
  std::string converted(text.size() * 4 + 16, '\0');
  char* out = converted.data();
  size_t out_left = converted.size();
  if (!converter.Convert(&text, &out, &out_left)) return std::nullopt;
  converted.resize(converted.size() - out_left);
  return converted;
}

}  // namespace pixtrel
