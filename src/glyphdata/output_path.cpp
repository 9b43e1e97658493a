#include "glyphdata/output_path.h"

#include <cctype>
#include <cstdio>

#include "glyphdata/utf8.h"
#include "platform/platform.h"

namespace pixtrel {

namespace {

/// Where the file name of `path` starts, and where its last dot is (npos
/// when it has none). Paths are UTF-8 or CP936, in which no byte of a
/// character that is not ASCII is "/" or "."; the Windows build's paths
/// are UTF-8, in which none is "\\" either. So each is found by its byte.
struct NameParts {
  size_t name_start;
  size_t dot;
};

NameParts PartsOf(std::string_view path) {
  const size_t name_start = NameStart(path);
  const size_t dot = path.rfind('.');
  return {name_start, dot != std::string_view::npos && dot >= name_start ? dot : std::string_view::npos};
}

}  // namespace

std::string OutputPathFor(std::string_view source_path, std::string_view extension) {
  const NameParts parts = PartsOf(source_path);
  const size_t stem_end = parts.dot != std::string_view::npos ? parts.dot + 1 : source_path.size();
  return std::string(source_path.substr(0, stem_end)).append(extension);
}

std::string CommandOutputPathFor(std::string_view source_path, std::string_view extension) {
  const NameParts parts = PartsOf(source_path);
  const size_t leading_dots = source_path.find_first_not_of('.', parts.name_start);
  if (parts.dot == std::string_view::npos || leading_dots == std::string_view::npos || parts.dot < leading_dots)
    return std::string(source_path) + "." + std::string(extension);
  return OutputPathFor(source_path, extension);
}

std::string IdentifierFor(const std::string& path) {
  std::string name = path.substr(PartsOf(path).name_start);
  name = name.substr(0, name.rfind('.'));
  std::string identifier;
  for (size_t i = 0; i < name.size();) {
    const auto byte = static_cast<unsigned char>(name[i]);
    const size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(std::string_view(name).substr(i));
    if (byte >= 0x80 && length != 0 && length != kIncompleteUtf8) {  // 菜 gives u83DC.
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "u%04X", Utf8CodePoint(std::string_view(name).substr(i, length)));
      identifier += escaped;
      i += length;
      continue;
    }
    identifier += std::isalnum(byte) && byte < 0x80 ? static_cast<char>(byte) : '_';
    ++i;
  }
  // Not empty, and not starting with a digit or "_" (such names are the C library's).
  if (identifier.empty() || !std::isalpha(static_cast<unsigned char>(identifier[0]))) identifier.insert(0, "glyphs_");
  return identifier;
}

}  // namespace pixtrel
