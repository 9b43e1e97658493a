#include "platform/failure.h"

#include <cstring>

namespace pixtrel {

Failure FileFailure(const std::string& path, const std::string& cause) { return Failure(path + ": " + cause); }

Failure FileFailure(const std::string& path, int error) { return FileFailure(path, std::strerror(error)); }

Failure ReplacementFailure(const std::string& path, const std::string& directory, const std::string& cause) {
  return FileFailure(path, "No new file can be made in " + directory + " to take its place (" + cause + ")");
}

}  // namespace pixtrel
