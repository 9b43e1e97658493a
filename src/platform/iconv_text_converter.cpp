// Text conversion by the C library's iconv.

#include <iconv.h>

#include <cerrno>

#include "platform/failure.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {
iconv_t Handle(void* handle) { return static_cast<iconv_t>(handle); }
}  // namespace

TextConverter::TextConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
  if (Handle(handle_) == reinterpret_cast<iconv_t>(-1))
    throw Failure(std::string("No conversion from ") + from + " to " + to + " in the C library");
}

TextConverter::~TextConverter() { iconv_close(Handle(handle_)); }

TextConverter::Stop TextConverter::Convert(std::string_view* in, char** out, size_t* out_left) {
  char* in_at = const_cast<char*>(in->data());
  size_t in_left = in->size();
  const size_t result = iconv(Handle(handle_), &in_at, &in_left, out, out_left);
  const int error = errno;
  *in = in->substr(in->size() - in_left);
  if (result != static_cast<size_t>(-1)) return Stop::kDone;
  if (error == E2BIG) return Stop::kOutputFull;
  if (error == EINVAL) return Stop::kIncomplete;
  return Stop::kInvalid;
}

std::optional<std::string> TextConverter::Whole(const char* to, const char* from, std::string_view text) {
  TextConverter converter(to, from);
  std::string converted(text.size() * 4 + 16, '\0');
  char* out = converted.data();
  size_t out_left = converted.size();
  if (converter.Convert(&text, &out, &out_left) != Stop::kDone) return std::nullopt;
  converted.resize(converted.size() - out_left);
  return converted;
}

}  // namespace pixtrel
