#include "glyphdata/file_identity.h"

#include <filesystem>
#include <system_error>

namespace pixtrel {

bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  if (a.empty() || b.empty()) return false;
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error)) return true;
  std::filesystem::path canonical_a = std::filesystem::weakly_canonical(a, error);
  if (error) return false;
  std::filesystem::path canonical_b = std::filesystem::weakly_canonical(b, error);
  return !error && canonical_a == canonical_b;
}

}  // namespace pixtrel
