#pragma once

#include <string>
#include <string_view>

namespace pixtrel {

/// The glyph file's path for `source_path`: the same directory and name,
/// with everything after the name's last "." replaced by `extension`, or
/// `extension` appended when the name has no dot ("notes" gives
/// "notesbin"). A dot in a directory name does not count.
std::string OutputPathFor(std::string_view source_path, std::string_view extension = "bin");

}  // namespace pixtrel
