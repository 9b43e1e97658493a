#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace pixtrel {

/// A picture of RGB pixels written as PNG to a sink, row after row from the
/// top, by the system's PNG library: nothing but one row is held.
class PngWriter {
 public:
  /// Starts a picture of `width` x `height` pixels on `sink`; failures name `name`.
  PngWriter(ByteSink& sink, std::string name, uint32_t width, uint32_t height);
  ~PngWriter();
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  /// Writes the next row: `width` pixels of three bytes, red, green, blue.
  /// Throws Failure naming the picture.
  void WriteRow(const uint8_t* rgb);

  /// Ends the picture after its last row. Throws Failure naming it.
  void Finish();

  /// What the implementation keeps; known to it alone.
  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace pixtrel
