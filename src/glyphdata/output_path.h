#pragma once

#include <string>
#include <string_view>

namespace pixtrel {

/// The glyph file's path for `source_path`: the same directory and name,
/// with everything after the name's last "." replaced by `extension`, or
/// `extension` appended when the name has no dot ("notes" gives
/// "notesbin"). A dot in a directory name does not count.
std::string OutputPathFor(std::string_view source_path, std::string_view extension = "bin");

/// The output's path for `source_path` as pixtrel-extract names it: as
/// OutputPathFor, but a name without an extension (without a dot, or with
/// none but at its start) gets "." and `extension` appended: "menu" gives
/// "menu.bin", ".hidden" ".hidden.bin".
std::string CommandOutputPathFor(std::string_view source_path, std::string_view extension);

/// `path`'s file name without its extension, made a C identifier: a
/// character that is not ASCII becomes uXXXX (its code point), any other
/// that cannot be in one "_", and "glyphs_" goes before a name that would
/// start with no letter ("menu-v2.h" gives "menu_v2", "菜单.h" "u83DCu5355").
std::string IdentifierFor(const std::string& path);

}  // namespace pixtrel
