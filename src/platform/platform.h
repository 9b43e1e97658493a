#pragma once

// Every call the program makes into the operating system goes through this
// header: files, their identity, the program directory, the terminal, the
// locale's character set and text conversion. Paths are byte strings as the
// file system spells them (UTF-8 where file names are Unicode), sizes are
// 64-bit, and files are read and written in binary.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pixtrel {

/// Where bytes are read from: a file, or a conversion in front of one.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  /// Reads up to `size` bytes into `buffer` and returns how many were read;
  /// 0 only at the end of the source. Throws Failure naming the file when
  /// reading fails.
  virtual size_t Read(char* buffer, size_t size) = 0;

  /// The source's current length in bytes, as progress is measured
  /// against, or kUnknownLength when it cannot be known (a pipe).
  virtual int64_t Length() = 0;

  /// What Length says of a source whose length cannot be known.
  static constexpr int64_t kUnknownLength = -1;

  /// Reads until `size` bytes are in `buffer` or the source ends; returns
  /// how many were read. Throws as Read does.
  size_t ReadFull(char* buffer, size_t size);

  /// Reads the rest of the source. Throws as Read does.
  std::string ReadAll();
};

/// Where bytes are written to: a file.
class ByteSink {
 public:
  virtual ~ByteSink() = default;

  /// Writes all `size` bytes of `bytes`. Throws Failure naming the file.
  virtual void Write(const char* bytes, size_t size) = 0;

  /// Closes the file; throws Failure naming it when what was written could
  /// not be stored. Destroying an open sink closes it silently.
  virtual void Close() = 0;
};

/// The first bytes of a file, mapped into memory as a private copy: writing
/// to them changes only the program's copy, never the file.
class MappedFile {
 public:
  virtual ~MappedFile() = default;

  /// The mapped bytes.
  virtual uint8_t* data() = 0;
};

/// What a path names. A symbolic link is a kOther, whatever it points to.
enum class FileKind { kNone, kRegular, kDirectory, kOther };

/// What tells one existing file from every other: its device (volume) and
/// its number there.
struct FileIdentity {
  uint64_t device, file;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

/// A file made under a name of its own, to be renamed into place.
struct TemporaryFile {
  std::string path;
  std::unique_ptr<ByteSink> sink;
};

/// The file operations of the program. RealDisk works on the machine's
/// disk; tests stand in for it to make an operation fail.
class Disk {
 public:
  virtual ~Disk() = default;

  /// Opens `path` for reading. Throws Failure naming the path and the cause.
  virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& path) = 0;

  /// As OpenForReading, but none when nothing is at `path`.
  virtual std::unique_ptr<ByteSource> OpenIfExists(const std::string& path) = 0;

  /// The first `size` bytes of the regular file `path` mapped into memory,
  /// where the system can map them: none when it cannot, or the file is
  /// shorter or no regular file, and the caller reads it instead. A disk
  /// that maps nothing needs no more than this.
  virtual std::unique_ptr<MappedFile> MapIfLongEnough(const std::string& /*path*/, size_t /*size*/) { return nullptr; }

  /// Opens `path` for appending, creating it when it does not exist. Throws
  /// Failure naming the path and the cause.
  virtual std::unique_ptr<ByteSink> OpenForAppending(const std::string& path) = 0;

  /// Opens standard input, a source whose length is unknown.
  virtual std::unique_ptr<ByteSource> StandardInput() = 0;

  /// Opens standard output; closing the sink leaves the stream open.
  virtual std::unique_ptr<ByteSink> StandardOutput() = 0;

  /// Creates a new, empty file in the directory of `beside`, under a name of
  /// its own that starts with a dot, with the permissions the file at
  /// `beside` has (when there is none, those a new file gets). Throws
  /// Failure naming `beside` and the cause; the sink's failures name
  /// `beside` too, the file it is to become.
  virtual TemporaryFile CreateTemporary(const std::string& beside) = 0;

  /// Renames `from` to `to`, replacing what `to` names in one step. Throws
  /// Failure naming `to` and the cause.
  virtual void Rename(const std::string& from, const std::string& to) = 0;

  /// What is at `path`; a link is not followed.
  virtual FileKind KindOf(const std::string& path) = 0;

  /// True when the file at `path` is one the system keeps from being
  /// replaced (Windows' read-only attribute); never on a POSIX system,
  /// where a rename replaces any file of a directory one may write to.
  virtual bool IsReadOnly(const std::string& /*path*/) { return false; }

  /// `path` with a symbolic link at its end followed, as often as it takes,
  /// to the path it names (which need not exist); `path` when it is no link.
  virtual std::string FollowLinks(const std::string& path) = 0;

  /// Makes the directory `path`, and those above it that are missing;
  /// nothing when it is there. Throws Failure naming the path and the
  /// cause (NotADirectoryFailure for a file there that is no directory).
  virtual void MakeDirectories(const std::string& path) = 0;

  /// Removes the directory entry `path`, which must not be a directory.
  /// Throws Failure naming the path and the cause.
  virtual void Remove(const std::string& path) = 0;

  /// The identity of the file `path` names, links followed; none when
  /// nothing is there.
  virtual std::optional<FileIdentity> IdentityOf(const std::string& path) = 0;

  /// True when `a` and `b` name the same file: the same path, the same
  /// existing file (links, hard links), or the same place once "." and ".."
  /// forms, repeated separators and links in the existing part are resolved.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

/// The machine's own disk.
Disk& RealDisk();

/// The directory of the running executable, links resolved, without a
/// trailing separator ("/" for the root). Throws Failure when the system
/// cannot say.
std::string ProgramDirectory();

/// The directory for temporary files of the program's own: $TMPDIR, or /tmp.
std::string TemporaryDirectory();

/// The width in columns of the terminal `stream` writes to, or none when it
/// writes to no terminal.
std::optional<int> TerminalColumns(std::FILE* stream);

/// True when `stream` writes to a terminal.
bool IsTerminal(std::FILE* stream);

/// The character set of the locale the program runs in (after
/// setlocale(LC_CTYPE, "")), named as ConvertText takes it: the set the
/// characters of messages are shown in ("UTF-8" where WriteText shows
/// Unicode whatever the console's code page).
std::string LocaleCharset();

/// `text` converted from the character set `from` to `to` (named as iconv
/// names them: "UTF-8", "CP936", "UTF-32LE"); none when any part of it is
/// ill-formed or has no form in `to`, never a best fit. Throws Failure when
/// the system does not know the conversion.
std::optional<std::string> ConvertText(const char* to, const char* from, std::string_view text);

/// Writes `text`, in LocaleCharset, to the standard stream `stream` as it
/// is; on a console that takes wide characters, through the console, so
/// that it shows every character whatever its code page; on Windows to a
/// file or a pipe, in the console's output code page (the ANSI code page
/// without a console), as the programs that read it there expect.
void WriteText(std::FILE* stream, std::string_view text);

/// True for a character that separates the parts of a path: "/", and on
/// Windows "\" as well.
constexpr bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

/// Where the last part of `path` starts: just after its last separator, 0
/// when it has none.
size_t NameStart(std::string_view path);

/// The path of `name` in the directory `dir`: the two joined by the
/// system's own separator, whether or not `dir` ends in one.
std::string JoinPath(const std::string& dir, std::string_view name);

/// `path` made absolute, every link in it followed and "." and ".." parts
/// resolved, as the system names the file; none when nothing is there.
std::optional<std::string> CanonicalPath(const std::string& path);

/// Makes `dir` the current directory. Throws Failure naming it and the cause.
void ChangeDirectory(const std::string& dir);

/// `bytes` bytes from the system's generator of secrets, in hexadecimal.
/// Throws Failure when it cannot give them.
std::string SecretToken(size_t bytes);

/// Calls `stop` once, on a thread of its own, when the user interrupts the
/// program (Ctrl-C) or the system asks it to end. To be called before the
/// program starts any other thread.
void OnInterrupt(std::function<void()> stop);

/// Readies the process for a command: standard streams read and written in
/// binary; when interrupted, terminated or hung up, the program first
/// removes the temporary files RealDisk made and did not rename or remove
/// yet; a write past the process's file size limit fails as other writes
/// do rather than end the program. Returns the command's arguments, argv[0]
/// first, in UTF-8 where the system hands them over in another form.
std::vector<std::string> StartCommand(int argc, char** argv);

/// True when the system's programs take `argument` for a request of their
/// help: "/?" on Windows; on other systems, never.
bool AsksForHelp(const std::string& argument);

/// The files `pattern` names, in name order, on a system whose programs
/// expand wildcards themselves (Windows: "*" and "?" in the last part of
/// a path, which matches files, not directories); `pattern` alone on other
/// systems, whose shells expand them, and for a pattern without wildcards.
/// Throws Failure "PATTERN: no file matches" when no file does.
std::vector<std::string> ExpandWildcards(const std::string& pattern);

/// `arguments` as getopt takes them: a pointer to each string, then a null
/// pointer. They point into `arguments`, which must outlive them.
inline std::vector<char*> ArgumentWords(std::vector<std::string>& arguments) {
  std::vector<char*> words;
  for (std::string& argument : arguments) words.push_back(argument.data());
  words.push_back(nullptr);
  return words;
}

}  // namespace pixtrel
