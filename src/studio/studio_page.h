#pragma once

#include <optional>
#include <string_view>

namespace pixtrel {

/// A file of the studio's page, built into the program.
struct StudioPageFile {
  std::string_view path;  ///< Where the page asks for it: "/", "/studio.js".
  std::string_view type;  ///< Its content type.
  std::string_view body;
};

/// The page's file at `path`; none when the page has none there.
std::optional<StudioPageFile> FindStudioPageFile(std::string_view path);

}  // namespace pixtrel
