#pragma once

#include <string>
#include <vector>

namespace pixtrel {

/// The names of the data files a font set may hold in its directory.
const std::vector<std::string>& DataFileNames();

/// The directories of the font sets Pixtrel ships, in the build tree and
/// installed, seen from the program directory `program_dir`; those that do
/// not exist are among them too.
std::vector<std::string> ShippedSetDirectories(const std::string& program_dir);

}  // namespace pixtrel
