// The program's place and surroundings on a POSIX system: its directory,
// its terminal and its locale.

#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/failure.h"
#include "platform/platform.h"
#include "platform/temporary_files.h"

namespace pixtrel {

std::string ProgramDirectory() {
  char path[4096];
  const ssize_t size = readlink("/proc/self/exe", path, sizeof path);
  if (size <= 0 || static_cast<size_t>(size) == sizeof path) throw FileFailure("/proc/self/exe", errno);
  const std::string executable(path, static_cast<size_t>(size));
  const size_t slash = executable.rfind('/');
  return slash == 0 ? "/" : executable.substr(0, slash);
}

std::string TemporaryDirectory() {
  const char* directory = std::getenv("TMPDIR");
  return directory != nullptr && *directory != '\0' ? directory : "/tmp";
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

std::optional<int> TerminalColumns(std::FILE* stream) {
  winsize size{};
  if (IsTerminal(stream) && ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return std::nullopt;
}

std::string LocaleCharset() { return nl_langinfo(CODESET); }

void WriteText(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

bool AsksForHelp(const std::string&) { return false; }

std::vector<std::string> ExpandWildcards(const std::string& pattern) { return {pattern}; }

std::vector<std::string> StartCommand(int argc, char** argv) {
  RemoveTemporaryFilesOnSignals();
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace pixtrel
