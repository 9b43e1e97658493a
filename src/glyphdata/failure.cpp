#include "glyphdata/failure.h"

#include <cstring>

namespace pixtrel {

Failure FileFailure(const std::string& cause, const std::string& path) {
  return Failure(cause + ": " + path);
}

Failure FileFailure(int error, const std::string& path) {
  return FileFailure(std::strerror(error), path);
}

}  // namespace pixtrel
