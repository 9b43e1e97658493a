#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace pixtrel {

/// A glibc iconv conversion from one character set to another; closed when
/// destroyed.
class IconvConverter {
 public:
  /// Opens the conversion to `to` from `from`; throws Failure when the C
  /// library does not know it.
  IconvConverter(const char* to, const char* from);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  /// One call of iconv(3): converts from *in (advanced past what was used)
  /// into *out (advanced past what was written). Returns false with errno
  /// set (E2BIG, EILSEQ or EINVAL) when it stopped before the end of *in.
  bool Convert(std::string_view* in, char** out, size_t* out_left);

  /// `text` converted whole; none of it when any part cannot be converted.
  static std::optional<std::string> Whole(const char* to, const char* from, std::string_view text);

 private:
  iconv_t handle_;
};

}  // namespace pixtrel
