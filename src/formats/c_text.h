#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace pixtrel {

/// `format` filled in with `values` as printf fills it in, for the short
/// pieces of the C sources the formats write (at most 511 characters).
std::string Printed(const char* format, auto... values) {
  char text[512];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

/// `text` made safe inside a C comment: no "*/" ends it early.
std::string InComment(const std::string& text);

/// Appends `bytes` to `text` as the rows of a C array, 16 a row:
/// "    0x4F, 0x00,\n".
void AppendBytes(std::span<const uint8_t> bytes, std::string& text);

}  // namespace pixtrel
