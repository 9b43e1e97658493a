#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pixtrel::fuzzing {

/// Stops the fuzzer with a report of `what` when `holds` is false: a finding.
void Require(bool holds, const char* what);

/// The lines of a CP936 text, split the plain way: a line ends at CR LF or
/// at a CR not followed by LF; a last line without a line end is a line.
std::vector<std::string_view> PlainLines(std::string_view text);

/// The last character of `line`, found by walking its characters from the
/// start; empty for an empty line.
std::string PlainLastCharacter(std::string_view line);

}  // namespace pixtrel::fuzzing
