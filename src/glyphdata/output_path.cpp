#include "glyphdata/output_path.h"

namespace pixtrel {

std::string OutputPathFor(std::string_view source_path, std::string_view extension) {
  // Neither "/" nor "." can be the trail byte of a CP936 character.
  size_t name_start = source_path.rfind('/') + 1;  // npos + 1 == 0
  size_t dot = source_path.rfind('.');
  size_t stem_end = dot != std::string_view::npos && dot >= name_start ? dot + 1 : source_path.size();
  return std::string(source_path.substr(0, stem_end)).append(extension);
}

}  // namespace pixtrel
