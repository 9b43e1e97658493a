// The disk on Windows: every path is UTF-8 inside the program and UTF-16 at
// the system's wide calls, and every file is binary.

#include <windows.h>

#include <mutex>
#include <random>
#include <vector>

#include "platform/failure.h"
#include "platform/platform.h"
#include "platform/temporary_files.h"
#include "platform/win32_text.h"

namespace pixtrel {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// A handle, closed when destroyed unless it is a standard stream's.
class Handle {
 public:
  Handle(std::string path, HANDLE handle, bool owned = true) : path_(std::move(path)), handle_(handle), owned_(owned) {}
  ~Handle() {
    if (owned_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  /// Closes the file; throws Failure when the system reports an error.
  void Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (owned_ && handle != INVALID_HANDLE_VALUE && !CloseHandle(handle)) throw SystemFailure(path_, GetLastError());
  }

 protected:
  std::string path_;
  HANDLE handle_;
  bool owned_;
};

class InputFile : public ByteSource, private Handle {
 public:
  using Handle::Handle;

  size_t Read(char* buffer, size_t size) override {
    DWORD count = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (ReadFile(handle_, buffer, wanted, &count, nullptr)) return count;
    const DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;  // The writing end is closed.
    throw SystemFailure(path_, error);
  }

  int64_t Length() override {
    LARGE_INTEGER size;
    if (GetFileType(handle_) != FILE_TYPE_DISK || !GetFileSizeEx(handle_, &size)) return kUnknownLength;
    return size.QuadPart;
  }
};

class OutputFile : public ByteSink, private Handle {
 public:
  using Handle::Handle;

  void Write(const char* bytes, size_t size) override {
    for (size_t done = 0; done < size;) {
      DWORD count = 0;
      const DWORD wanted = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
      if (!WriteFile(handle_, bytes + done, wanted, &count, nullptr)) throw SystemFailure(path_, GetLastError());
      done += count;
    }
  }

  void Close() override { Handle::Close(); }
};

/// The temporary files not renamed or removed yet, for the console's
/// interrupt handler, which runs on a thread of its own, to remove.
std::mutex temporary_mutex;
std::vector<std::wstring> temporary_paths;

void Remember(const std::string& path) {
  const std::lock_guard<std::mutex> lock(temporary_mutex);
  temporary_paths.push_back(Wide(path));
}

void Forget(const std::string& path) {
  const std::lock_guard<std::mutex> lock(temporary_mutex);
  std::erase(temporary_paths, Wide(path));
}

BOOL WINAPI RemoveTemporaryFilesAndGoOn(DWORD) {
  const std::lock_guard<std::mutex> lock(temporary_mutex);
  for (const std::wstring& path : temporary_paths) DeleteFileW(path.c_str());
  temporary_paths.clear();
  return FALSE;  // The default handler then ends the program.
}

/// Opens what is at `path` for no access but its attributes, following
/// links unless `own` is set; INVALID_HANDLE_VALUE when nothing is there.
HANDLE OpenForAttributes(const std::string& path, bool own = false) {
  return CreateFileW(Wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | (own ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
}

/// `path` made absolute, "." and ".." resolved, in UTF-16.
std::wstring FullPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wide;
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), size, full.data(), nullptr));
  return full;
}

/// The directory part of `path`, "." when it has none.
std::string DirectoryOf(const std::string& path) {
  const size_t name = NameStart(path);
  if (name == 0) return ".";
  return path.substr(0, name);
}

/// Opens `path` for reading; INVALID_HANDLE_VALUE, the error left for
/// GetLastError, when it cannot.
HANDLE OpenExisting(const std::string& path) {
  return CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

/// The failure of opening `path` with `error`, as a POSIX system words the
/// case it shares with Windows: a directory is no file to read.
Failure OpenFailure(const std::string& path, DWORD error) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return FileFailure(path, "Is a directory");
  return SystemFailure(path, error);
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

class Win32Disk : public Disk {
 public:
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
    const HANDLE handle = OpenExisting(path);
    if (handle == INVALID_HANDLE_VALUE) throw OpenFailure(path, GetLastError());
    return std::make_unique<InputFile>(path, handle);
  }

  std::unique_ptr<ByteSource> OpenIfExists(const std::string& path) override {
    const HANDLE handle = OpenExisting(path);
    if (handle == INVALID_HANDLE_VALUE && IsMissing(GetLastError())) return nullptr;
    if (handle == INVALID_HANDLE_VALUE) throw OpenFailure(path, GetLastError());
    return std::make_unique<InputFile>(path, handle);
  }

  std::unique_ptr<ByteSink> OpenForAppending(const std::string& path) override {
    const HANDLE handle = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw OpenFailure(path, GetLastError());
    return std::make_unique<OutputFile>(path, handle);
  }

  std::unique_ptr<ByteSource> StandardInput() override {
    return std::make_unique<InputFile>("standard input", GetStdHandle(STD_INPUT_HANDLE), false);
  }

  std::unique_ptr<ByteSink> StandardOutput() override {
    std::fflush(stdout);  // What the program printed comes first.
    return std::make_unique<OutputFile>("standard output", GetStdHandle(STD_OUTPUT_HANDLE), false);
  }

  TemporaryFile CreateTemporary(const std::string& beside) override {
    static std::mt19937 random(std::random_device{}() ^ GetCurrentProcessId());
    const std::string directory = DirectoryOf(beside);
    for (;;) {
      std::string path = JoinPathInDirectory(directory, ".pixtrel-" + RandomName(random));
      const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
      if (handle == INVALID_HANDLE_VALUE) throw ReplacementFailure(beside, directory, SystemMessage(GetLastError()));
      Remember(path);
      // Its failures are those of the file it is to become.
      return {path, std::make_unique<OutputFile>(beside, handle)};
    }
  }

  void Rename(const std::string& from, const std::string& to) override {
    if (!MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING))
      throw SystemFailure(to, GetLastError());
    Forget(from);
  }

  std::string FollowLinks(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    const HANDLE handle = OpenForAttributes(path);
    if (handle == INVALID_HANDLE_VALUE) return path;  // A link to nothing is replaced itself.
    wchar_t target[32768];
    const DWORD size = GetFinalPathNameByHandleW(handle, target, 32768, FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    if (size == 0 || size >= 32768) return path;
    std::wstring_view followed(target, size);
    if (followed.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + Utf8(followed.substr(8));
    if (followed.starts_with(L"\\\\?\\")) followed.remove_prefix(4);
    return Utf8(followed);
  }

  FileKind KindOf(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return FileKind::kOther;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return FileKind::kDirectory;
    // A device (NUL, CON, COM1) may have no attributes, or some: what it is tells.
    const HANDLE handle = OpenForAttributes(path, true);
    if (handle == INVALID_HANDLE_VALUE)
      return attributes == INVALID_FILE_ATTRIBUTES ? FileKind::kNone : FileKind::kOther;
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    return type == FILE_TYPE_DISK ? FileKind::kRegular : FileKind::kOther;
  }

  bool IsReadOnly(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  void Remove(const std::string& path) override {
    if (!DeleteFileW(Wide(path).c_str())) throw SystemFailure(path, GetLastError());
    Forget(path);
  }

  void MakeDirectories(const std::string& path) override {
    const FileKind kind = KindOf(FollowLinks(path));
    if (kind == FileKind::kDirectory) return;
    if (kind != FileKind::kNone) throw NotADirectoryFailure(path);
    size_t end = path.size();
    while (end > 0 && IsPathSeparator(path[end - 1])) --end;
    const std::string parent = path.substr(0, NameStart(path.substr(0, end)));
    if (!parent.empty() && KindOf(FollowLinks(parent)) == FileKind::kNone) MakeDirectories(parent);
    if (!CreateDirectoryW(Wide(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      throw SystemFailure(path, GetLastError());
  }

  /// The volume and the file index, from GetFileInformationByHandle.
  std::optional<FileIdentity> IdentityOf(const std::string& path) override {
    if (path.empty()) return std::nullopt;
    const HANDLE handle = OpenForAttributes(path);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    if (a == b) return true;
    if (a.empty() || b.empty()) return false;
    const auto identity_a = IdentityOf(a), identity_b = IdentityOf(b);
    if (identity_a && identity_b) return *identity_a == *identity_b;
    if (identity_a || identity_b) return false;  // One place cannot both hold a file and not.
    // Two places that are not there are one when their full paths are, in any letter case.
    const std::wstring full_a = FullPath(a), full_b = FullPath(b);
    return CompareStringOrdinal(full_a.data(), static_cast<int>(full_a.size()), full_b.data(),
                                static_cast<int>(full_b.size()), TRUE) == CSTR_EQUAL;
  }

 private:
  static std::string RandomName(std::mt19937& random) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name(6, ' ');
    for (char& c : name) c = kLetters[random() % (sizeof kLetters - 1)];
    return name;
  }

  /// `name` in `directory`, which ends in a separator unless it is ".".
  static std::string JoinPathInDirectory(const std::string& directory, const std::string& name) {
    return directory == "." ? name : directory + name;
  }
};

}  // namespace

Disk& RealDisk() {
  static Win32Disk disk;
  return disk;
}

Failure NoSuchFileFailure(const std::string& path) { return SystemFailure(path, ERROR_FILE_NOT_FOUND); }

Failure NotADirectoryFailure(const std::string& path) { return SystemFailure(path, ERROR_DIRECTORY); }

Failure ReadOnlyFailure(const std::string& path) {
  return FileFailure(path, SystemMessage(ERROR_ACCESS_DENIED) + " (read-only)");
}

void RemoveTemporaryFilesOnSignals() { SetConsoleCtrlHandler(RemoveTemporaryFilesAndGoOn, TRUE); }

}  // namespace pixtrel
