#pragma once

#include <string>
#include <string_view>

namespace pixtrel {

/// The character set that a statistical detector (uchardet, linked in)
/// judges `sample`, the start of a text, to be in, named as it names them
/// ("BIG5", "UHC", "SHIFT_JIS", "EUC-JP", "GB18030", "UTF-8", ...); empty
/// when it cannot tell with confidence.
std::string DetectCharset(std::string_view sample);

}  // namespace pixtrel
