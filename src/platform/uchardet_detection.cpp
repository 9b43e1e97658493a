// The judgement of a text's character set by uchardet.

#include <uchardet/uchardet.h>

#include <memory>

#include "platform/charset_detection.h"

namespace pixtrel {

std::string DetectCharset(std::string_view sample) {
  const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(uchardet_new(),
                                                                                                &uchardet_delete);
  if (!detector || uchardet_handle_data(detector.get(), sample.data(), sample.size()) != 0) return "";
  uchardet_data_end(detector.get());
  const char* charset = uchardet_get_charset(detector.get());
  return charset != nullptr ? charset : "";
}

}  // namespace pixtrel
