// The installed fonts of Windows: files in its font folders, which no
// catalogue lists for a program that does not draw through the system.

#include <windows.h>
// After windows.h, which they need:
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/font_catalog.h"
#include "platform/platform.h"
#include "platform/win32_text.h"

namespace pixtrel {

namespace {

/// The path of the known folder `id`, or none.
std::string KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::string folder;
  if (SHGetKnownFolderPath(id, 0, nullptr, &path) == S_OK) folder = Utf8(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

bool HasFontCatalog() { return false; }

std::vector<CatalogFace> CatalogFaces(bool) { return {}; }

std::vector<std::string> FontDirectories() {
  std::vector<std::string> directories;
  if (std::string fonts = KnownFolder(FOLDERID_Fonts); !fonts.empty()) directories.push_back(fonts);
  // Where a user installs a font without an administrator's rights.
  if (std::string local = KnownFolder(FOLDERID_LocalAppData); !local.empty())
    directories.push_back(local + "\\Microsoft\\Windows\\Fonts");
  return directories;
}

namespace {

/// A view of a file mapped read-only.
class Mapping : public MappedFile {
 public:
  explicit Mapping(void* view) : view_(view) {}
  ~Mapping() override { UnmapViewOfFile(view_); }
  uint8_t* data() override { return static_cast<uint8_t*>(view_); }

 private:
  void* view_;
};

}  // namespace

std::optional<MappedFont> MapFont(const std::string& path) {
  const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size;
  HANDLE mapping = nullptr;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0)
    mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  CloseHandle(file);
  if (mapping == nullptr) return std::nullopt;
  void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  CloseHandle(mapping);  // The view keeps the file and the mapping.
  if (view == nullptr) return std::nullopt;
  return MappedFont{std::make_unique<Mapping>(view), static_cast<size_t>(size.QuadPart)};
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> files;
  WIN32_FIND_DATAW data;
  const HANDLE search =
      FindFirstFileExW(Wide(dir + "\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(dir + "\\" + Utf8(data.cFileName));
  } while (FindNextFileW(search, &data));
  FindClose(search);
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace pixtrel
