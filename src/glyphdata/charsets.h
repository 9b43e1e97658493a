#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pixtrel {

/// The characters of the character set `name` (gb2312, gbk, big5 or
/// ascii), as ascending code points, private use left out; none for a name
/// of no such set. Each set is made once, when first asked for.
const std::vector<uint32_t>* CharsetCharacters(const std::string& name);

}  // namespace pixtrel
