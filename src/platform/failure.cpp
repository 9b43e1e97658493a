#include "platform/failure.h"

#include <cstring>

namespace pixtrel {

Failure FileFailure(const std::string& path, const std::string& cause) { return Failure(path + ": " + cause); }

Failure FileFailure(const std::string& path, int error) { return FileFailure(path, std::strerror(error)); }

}  // namespace pixtrel
