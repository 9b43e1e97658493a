#pragma once

#include <stdexcept>
#include <string>

namespace pixtrel {

/// A failure that stops the current operation. Its message names the file
/// and the cause, as Unix tools do ("/data/GB2312.tbl: Input past end of
/// file"). Nothing recovers from it: the caller reports it once.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A failure with `cause` that names `path`, worded "path: cause".
Failure FileFailure(const std::string& path, const std::string& cause);

/// A failure of a file operation on `path`, described as the system
/// describes the error number `error` (errno).
Failure FileFailure(const std::string& path, int error);

/// The failure of `path`, which is not there, worded as the system words it.
Failure NoSuchFileFailure(const std::string& path);

/// The failure of `path`, which is there but is no directory, worded as the
/// system words it.
Failure NotADirectoryFailure(const std::string& path);

/// The refusal to replace `path`, which is read-only, worded as the system
/// words a denied access.
Failure ReadOnlyFailure(const std::string& path);

/// The failure to make, in `directory`, the file that was to take the
/// place of `path`, for `cause` (what the system says of it).
Failure ReplacementFailure(const std::string& path, const std::string& directory, const std::string& cause);

}  // namespace pixtrel
