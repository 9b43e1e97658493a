#pragma once

#include <optional>
#include <string>

namespace pixtrel {

/// Writes on stdout the installed faces whose name or file holds `pattern`
/// (in any letter case; every face without one), one a line, "NAME: FILE,
/// face N; hanzi, kana, Hangul" (the scripts it holds), as --font names
/// them. Returns the exit status: 0, or 1 when no face matches.
int ListFonts(const std::optional<std::string>& pattern);

}  // namespace pixtrel
