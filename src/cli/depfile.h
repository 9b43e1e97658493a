#pragma once

#include <string>
#include <vector>

namespace pixtrel {

/// The make rule "TARGETS: PREREQUISITES" that a depfile holds, as gcc -MD
/// writes one: each name with the characters make would read otherwise
/// escaped (a space or "#" after a backslash, "$" doubled), a line feed
/// at its end.
std::string DepfileRule(const std::vector<std::string>& targets, const std::vector<std::string>& prerequisites);

}  // namespace pixtrel
