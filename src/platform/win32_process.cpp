// The program's place and surroundings on Windows: its directory, its
// console and its command line.

#include <windows.h>
// After windows.h, which it needs:
#include <bcrypt.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/failure.h"
#include "platform/hexadecimal.h"
#include "platform/platform.h"
#include "platform/temporary_files.h"
#include "platform/win32_text.h"

namespace pixtrel {

namespace {

HANDLE HandleOf(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

/// Lets the console of `stream`, if it writes to one, take the terminal
/// sequences the progress line uses.
void TakeTerminalSequences(std::FILE* stream) {
  DWORD mode;
  if (GetConsoleMode(HandleOf(stream), &mode))
    SetConsoleMode(HandleOf(stream), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

std::string ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (size == 0) throw SystemFailure("the program's own file", GetLastError());
    if (size < path.size()) {
      path.resize(size);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::string executable = Utf8(path);
  const size_t name = NameStart(executable);
  if (name == 0) return ".";
  const bool root = name >= 2 && executable[name - 2] == ':';  // "C:\" keeps its separator.
  return executable.substr(0, root ? name : name - 1);
}

std::string TemporaryDirectory() {
  wchar_t path[MAX_PATH + 1];
  const DWORD size = GetTempPathW(MAX_PATH + 1, path);
  std::string directory = Utf8(std::wstring_view(path, size));
  if (directory.size() > 1 && IsPathSeparator(directory.back()) && directory[directory.size() - 2] != ':')
    directory.pop_back();
  return directory.empty() ? "." : directory;
}

bool IsTerminal(std::FILE* stream) {
  DWORD mode;
  return GetConsoleMode(HandleOf(stream), &mode) != 0;
}

std::optional<int> TerminalColumns(std::FILE* stream) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(HandleOf(stream), &info)) return std::nullopt;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

std::optional<std::string> CanonicalPath(const std::string& path) {
  const HANDLE file = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::wstring name(MAX_PATH, L'\0');
  DWORD size = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
  if (size >= name.size()) {
    name.resize(size);
    size = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
  }
  CloseHandle(file);
  if (size == 0 || size >= name.size()) return std::nullopt;
  name.resize(size);
  // "\\?\C:\dir" for a drive, "\\?\UNC\server\share" for a share.
  if (name.starts_with(L"\\\\?\\UNC\\")) return Utf8(L"\\\\" + name.substr(8));
  if (name.starts_with(L"\\\\?\\")) return Utf8(name.substr(4));
  return Utf8(name);
}

void ChangeDirectory(const std::string& dir) {
  if (!SetCurrentDirectoryW(Wide(dir).c_str())) throw SystemFailure(dir, GetLastError());
}

std::string SecretToken(size_t bytes) {
  std::vector<uint8_t> random(bytes);
  if (BCryptGenRandom(nullptr, random.data(), static_cast<ULONG>(bytes), BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
    throw Failure("BCryptGenRandom: the system gave no random bytes");
  return Hexadecimal(random);
}

void OnInterrupt(std::function<void()> stop) {
  static std::function<void()> stopping;
  stopping = std::move(stop);
  // The system calls the handler on a thread of its own.
  SetConsoleCtrlHandler(
      [](DWORD) -> BOOL {
        if (stopping) std::exchange(stopping, nullptr)();
        return TRUE;
      },
      TRUE);
}

bool AsksForHelp(const std::string& argument) { return argument == "/?"; }

std::vector<std::string> ExpandWildcards(const std::string& pattern) {
  const size_t name = NameStart(pattern);
  if (pattern.find_first_of("*?", name) == std::string::npos) return {pattern};
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW data;
  const HANDLE search =
      FindFirstFileExW(Wide(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found.emplace_back(data.cFileName);
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  if (found.empty()) throw FileFailure(pattern, "no file matches");
  std::sort(found.begin(), found.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_LESS_THAN;
  });
  std::vector<std::string> paths;
  for (const std::wstring& file : found) paths.push_back(pattern.substr(0, name) + Utf8(file));
  return paths;
}

std::vector<std::string> StartCommand(int, char**) {
  for (std::FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
  TakeTerminalSequences(stdout);
  TakeTerminalSequences(stderr);
  RemoveTemporaryFilesOnSignals();
  // The narrow argv went through the ANSI code page, which may lack the file names' characters.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace pixtrel
