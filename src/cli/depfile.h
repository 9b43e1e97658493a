#pragma once

#include <string>
#include <vector>

namespace pixtrel {

/// The make rule "TARGETS: SOURCES DATA" that a depfile holds, as gcc -MD
/// -MP writes one: then a rule without a recipe for each of the data files,
/// so that make goes on when one is gone (a set moved away); each name with
/// the characters make would read otherwise escaped (a space or "#" after a
/// backslash, "$" doubled), each rule on a line of its own.
std::string DepfileRule(const std::vector<std::string>& targets, const std::vector<std::string>& sources,
                        const std::vector<std::string>& data);

/// The targets of the first rule of `depfile`, as DepfileRule writes one,
/// their escapes undone.
std::vector<std::string> DepfileTargets(const std::string& depfile);

}  // namespace pixtrel
