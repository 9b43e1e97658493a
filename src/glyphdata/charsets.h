#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pixtrel {

/// A character set a font may be asked to hold whole.
struct CharsetName {
  const char* name;  ///< As --charset names it: "gb2312".
  const char* what;  ///< What it is, for help: "GB2312's 7445 characters".
};

/// The character sets CharsetCharacters knows, in the order help lists them.
std::span<const CharsetName> CharsetNames();

/// The characters of the character set `name` (one of CharsetNames: the
/// CJK sets with ASCII, U+0020-U+007E, as their encodings carry it), as
/// ascending code points, private use left out; none for a name of no such
/// set. Each set is made once, when first asked for.
const std::vector<uint32_t>* CharsetCharacters(const std::string& name);

}  // namespace pixtrel
