#pragma once

// Within the platform layer on Windows: paths and texts are UTF-8 inside
// the program and UTF-16 at every call into the system.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/failure.h"

namespace pixtrel {

/// `utf8` in UTF-16, as the system's wide calls take it.
std::wstring Wide(std::string_view utf8);

/// `wide`, UTF-16 from the system, in UTF-8.
std::string Utf8(std::wstring_view wide);

/// The system's own description of the error `error` (GetLastError), in
/// the user's language, without its closing period and line end.
std::string SystemMessage(DWORD error);

/// A failure naming `path`, described as the system describes `error`.
Failure SystemFailure(const std::string& path, DWORD error);

}  // namespace pixtrel
