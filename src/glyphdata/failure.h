#pragma once

#include <stdexcept>
#include <string>

namespace pixtrel {

/// A failure that stops the current operation. Its message names the cause
/// and, where a file is involved, the file ("No such file or directory:
/// /data/GB2312.tbl"). Nothing recovers from it: the caller reports it once.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A failure with `cause` that names `path`, worded "cause: path".
Failure FileFailure(const std::string& cause, const std::string& path);

/// A failure of a file operation on `path`, described as the system
/// describes the error number `error` (errno).
Failure FileFailure(int error, const std::string& path);

}  // namespace pixtrel
