// MakeOutputPath over arbitrary paths: the directory part is kept, the name
// loses what follows its last dot, and the glyph file's path ends in "bin".

#include <cstddef>
#include <cstdint>
#include <string>

#include "extract/extractor.h"
#include "fuzz_support.h"

using pixtrel::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static pixtrel::Extractor extractor("/nonexistent");
  const std::string source(reinterpret_cast<const char*>(data), size);
  extractor.SourcePath = source;
  extractor.MakeOutputPath();
  const std::string& output = extractor.OutputPath;

  Require(output.ends_with("bin"), "the glyph file's path ends in bin");
  const size_t name_start = source.rfind('/') + 1;  // 0 without a separator
  Require(output.compare(0, name_start, source, 0, name_start) == 0, "the directory part is kept");
  const std::string name = source.substr(name_start);
  const size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot + 1);
  Require(output.substr(name_start) == stem + "bin", "the name keeps everything up to its last dot");
  return 0;
}
