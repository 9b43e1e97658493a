// The disk on a POSIX system.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/failure.h"
#include "platform/platform.h"
#include "platform/temporary_files.h"

namespace pixtrel {

namespace {

/// A file descriptor, closed when destroyed.
class Descriptor {
 public:
  Descriptor(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  /// Closes the file; throws Failure when the system reports an error.
  void Close() {
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && close(fd) != 0) throw FileFailure(path_, errno);
  }

 protected:
  std::string path_;
  int fd_;
};

class InputFile : public ByteSource, private Descriptor {
 public:
  using Descriptor::Descriptor;

  size_t Read(char* buffer, size_t size) override {
    for (;;) {
      const ssize_t count = read(fd_, buffer, size);
      if (count >= 0) return static_cast<size_t>(count);
      if (errno != EINTR) throw FileFailure(path_, errno);
    }
  }

  int64_t Length() override {
    struct stat info;
    if (fstat(fd_, &info) != 0) throw FileFailure(path_, errno);
    return S_ISREG(info.st_mode) ? info.st_size : kUnknownLength;
  }
};

class OutputFile : public ByteSink, private Descriptor {
 public:
  using Descriptor::Descriptor;

  void Write(const char* bytes, size_t size) override {
    for (size_t done = 0; done < size;) {
      const ssize_t count = write(fd_, bytes + done, size - done);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) throw FileFailure(path_, errno);
      done += static_cast<size_t>(count);
    }
  }

  void Close() override { Descriptor::Close(); }
};

class Mapping : public MappedFile {
 public:
  Mapping(void* address, size_t size) : address_(address), size_(size) {}
  ~Mapping() override { munmap(address_, size_); }
  uint8_t* data() override { return static_cast<uint8_t*>(address_); }

 private:
  void* address_;
  size_t size_;
};

/// A standard stream, which outlives the object that reads or writes it.
template <class File>
class StandardStream : public File {
 public:
  StandardStream(std::string name, int fd) : File(std::move(name), dup(fd)) {}
};

/// The temporary files not renamed or removed yet, for a signal handler to
/// remove: a few slots of fixed size, which it can read safely.
constexpr int kTemporarySlots = 8;
char temporary_paths[kTemporarySlots][4096];
volatile sig_atomic_t temporary_in_use[kTemporarySlots];

void Remember(const std::string& path) {
  for (int slot = 0; slot < kTemporarySlots; ++slot) {
    if (temporary_in_use[slot] || path.size() >= sizeof temporary_paths[slot]) continue;
    std::memcpy(temporary_paths[slot], path.c_str(), path.size() + 1);
    temporary_in_use[slot] = 1;
    return;
  }
}

void Forget(const std::string& path) {
  for (int slot = 0; slot < kTemporarySlots; ++slot)
    if (temporary_in_use[slot] && path == temporary_paths[slot]) temporary_in_use[slot] = 0;
}

extern "C" void RemoveTemporaryFilesAndDie(int signal_number) {
  for (int slot = 0; slot < kTemporarySlots; ++slot)
    if (temporary_in_use[slot]) unlink(temporary_paths[slot]);
  ::signal(signal_number, SIG_DFL);
  raise(signal_number);
}

/// The directory part of `path`, "." when it has none.
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

/// The permissions a file made at `path` gets: those of the file there, or
/// those a new file gets under the process's umask.
mode_t PermissionsFor(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

class PosixDisk : public Disk {
 public:
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileFailure(path, errno);
    return std::make_unique<InputFile>(path, fd);
  }

  std::unique_ptr<ByteSource> OpenIfExists(const std::string& path) override {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return nullptr;
    if (fd < 0) throw FileFailure(path, errno);
    return std::make_unique<InputFile>(path, fd);
  }

  std::unique_ptr<MappedFile> MapIfLongEnough(const std::string& path, size_t size) override {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    const Descriptor closed_at_return(path, fd);
    struct stat info;
    if (size == 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < static_cast<off_t>(size))
      return nullptr;
    void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    if (address == MAP_FAILED) return nullptr;
    return std::make_unique<Mapping>(address, size);
  }

  std::unique_ptr<ByteSink> OpenForAppending(const std::string& path) override {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) throw FileFailure(path, errno);
    return std::make_unique<OutputFile>(path, fd);
  }

  std::unique_ptr<ByteSource> StandardInput() override {
    return std::make_unique<StandardStream<InputFile>>("standard input", STDIN_FILENO);
  }

  std::unique_ptr<ByteSink> StandardOutput() override {
    return std::make_unique<StandardStream<OutputFile>>("standard output", STDOUT_FILENO);
  }

  TemporaryFile CreateTemporary(const std::string& beside) override {
    const std::string directory = DirectoryOf(beside);
    std::string path = directory + "/.pixtrel-XXXXXX";
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) throw ReplacementFailure(beside, directory, std::strerror(errno));
    auto sink = std::make_unique<OutputFile>(beside, fd);  // Its failures are those of the file it is to become.
    if (fchmod(fd, PermissionsFor(beside)) != 0) {
      const int error = errno;
      unlink(path.c_str());
      throw FileFailure(beside, error);
    }
    Remember(path);
    return {path, std::move(sink)};
  }

  void Rename(const std::string& from, const std::string& to) override {
    if (rename(from.c_str(), to.c_str()) != 0) throw FileFailure(to, errno);
    Forget(from);
  }

  std::string FollowLinks(const std::string& path) override {
    std::string followed = path;
    for (int hops = 0; hops < 40; ++hops) {
      char target[4096];
      const ssize_t size = readlink(followed.c_str(), target, sizeof target);
      if (size < 0 || static_cast<size_t>(size) == sizeof target) return followed;
      const std::string link(target, static_cast<size_t>(size));
      followed = link.starts_with('/') ? link : DirectoryOf(followed) + "/" + link;
    }
    return followed;
  }

  FileKind KindOf(const std::string& path) override {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return FileKind::kNone;
    if (S_ISREG(info.st_mode)) return FileKind::kRegular;
    if (S_ISDIR(info.st_mode)) return FileKind::kDirectory;
    return FileKind::kOther;
  }

  void Remove(const std::string& path) override {
    if (unlink(path.c_str()) != 0) throw FileFailure(path, errno);
    Forget(path);
  }

  void MakeDirectories(const std::string& path) override {
    const FileKind kind = KindOf(FollowLinks(path));
    if (kind == FileKind::kDirectory) return;
    if (kind != FileKind::kNone) throw NotADirectoryFailure(path);
    const std::string parent = DirectoryOf(path.substr(0, path.find_last_not_of('/') + 1));
    if (KindOf(FollowLinks(parent)) == FileKind::kNone) MakeDirectories(parent);
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) throw FileFailure(path, errno);
  }

  std::optional<FileIdentity> IdentityOf(const std::string& path) override {
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    if (a == b) return true;
    if (a.empty() || b.empty()) return false;
    const std::optional<FileIdentity> identity_a = IdentityOf(a), identity_b = IdentityOf(b);
    if (identity_a && identity_b) return *identity_a == *identity_b;
    if (identity_a || identity_b) return false;  // One place cannot both hold a file and not.
    // Two places that are not there are one only under one name.
    const std::filesystem::path name_a = std::filesystem::path(a).filename(),
                                name_b = std::filesystem::path(b).filename();
    auto steps = [](const std::filesystem::path& name) { return name == "." || name == ".." || name.empty(); };
    if (name_a != name_b && !steps(name_a) && !steps(name_b)) return false;
    // Made absolute first: a relative path none of which is there stays relative otherwise.
    std::error_code error;
    const std::filesystem::path canonical_a = std::filesystem::weakly_canonical(std::filesystem::absolute(a), error);
    if (error) return false;
    const std::filesystem::path canonical_b = std::filesystem::weakly_canonical(std::filesystem::absolute(b), error);
    return !error && canonical_a == canonical_b;
  }
};

}  // namespace

Disk& RealDisk() {
  static PosixDisk disk;
  return disk;
}

Failure NoSuchFileFailure(const std::string& path) { return FileFailure(path, ENOENT); }

Failure NotADirectoryFailure(const std::string& path) { return FileFailure(path, ENOTDIR); }

Failure ReadOnlyFailure(const std::string& path) {
  return FileFailure(path, std::string(std::strerror(EACCES)) + " (read-only)");
}

void RemoveTemporaryFilesOnSignals() {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal_number, RemoveTemporaryFilesAndDie);
  ::signal(SIGXFSZ, SIG_IGN);  // The write then fails with EFBIG.
}

}  // namespace pixtrel
