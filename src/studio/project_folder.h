#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/font_catalog.h"

namespace pixtrel {

/// What a project folder holds that the studio offers: its texts, its
/// font files and its font sets, each by its path in the folder ("/"
/// between parts), in name order.
struct FolderContents {
  std::vector<std::string> texts;
  std::vector<CatalogFace> font_faces;  ///< Each face of each font file.
  std::vector<std::string> sets;        ///< Folders that hold a font set's files.
};

/// The folder the studio works in, and the rules a path a request names
/// keeps there.
class ProjectFolder {
 public:
  /// The folder `root`, which must exist. Throws Failure naming it.
  explicit ProjectFolder(const std::string& root);

  /// The folder's path, absolute and links resolved.
  const std::string& root() const { return root_; }

  /// Why `path` (relative to the folder) is no path in it: absolute, with
  /// a ".." part, or leading, links followed, out of it; "PATH: cause".
  /// None when it stays inside.
  std::optional<std::string> Outside(const std::string& path) const;

  /// True when `path` is a text, a font file or a font set's data file,
  /// which no output may replace.
  static bool IsProtected(const std::string& path);

  /// What the folder holds: it and its folders read down to a few levels,
  /// hidden ones (a name that starts with ".") left out, and at most a
  /// thousand files looked at.
  FolderContents Contents() const;

 private:
  std::string root_;
};

}  // namespace pixtrel
