#include "glyphdata/font_set.h"

#include "shipped_sets.h"

namespace pixtrel {

const std::vector<std::string>& DataFileNames() {
  static const std::vector<std::string> names = {"GB2312.bin", "GB2312.tbl"};
  return names;
}

std::vector<std::string> ShippedSetDirectories(const std::string& program_dir) {
  std::vector<std::string> directories;
  for (const char* root : kShippedSetRoots)
    for (const char* name : kShippedSetNames) directories.push_back(program_dir + "/" + root + "/" + name);
  return directories;
}

}  // namespace pixtrel
