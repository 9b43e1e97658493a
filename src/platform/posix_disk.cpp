// The disk on a POSIX system.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/failure.h"
#include "platform/platform.h"

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
    return info.st_size;
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

  std::unique_ptr<ByteSink> OpenForAppending(const std::string& path) override {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) throw FileFailure(path, errno);
    return std::make_unique<OutputFile>(path, fd);
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
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    if (a == b) return true;
    if (a.empty() || b.empty()) return false;
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    const std::filesystem::path canonical_a = std::filesystem::weakly_canonical(a, error);
    if (error) return false;
    const std::filesystem::path canonical_b = std::filesystem::weakly_canonical(b, error);
    return !error && canonical_a == canonical_b;
  }
};

}  // namespace

Disk& RealDisk() {
  static PosixDisk disk;
  return disk;
}

}  // namespace pixtrel
