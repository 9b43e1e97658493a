// The program's place and surroundings on a POSIX system: its directory,
// its terminal and its locale.

#include <langinfo.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/failure.h"
#include "platform/hexadecimal.h"
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

std::optional<std::string> CanonicalPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
  return resolved;
}

void ChangeDirectory(const std::string& dir) {
  if (chdir(dir.c_str()) != 0) throw FileFailure(dir, errno);
}

std::string SecretToken(size_t bytes) {
  std::vector<uint8_t> random(bytes);
  if (getrandom(random.data(), bytes, 0) != static_cast<ssize_t>(bytes)) throw FileFailure("getrandom", errno);
  return Hexadecimal(random);
}

void OnInterrupt(std::function<void()> stop) {
  // Every thread started later inherits the mask: the signals come only to sigwait.
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal_number);
  // A shell starts a program in the background with Ctrl-C ignored, and an
  // ignored signal never reaches sigwait: the user asked to stop, whatever.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals, stop = std::move(stop)] {
    int caught;
    sigwait(&signals, &caught);
    stop();
  }).detach();
}

bool AsksForHelp(const std::string&) { return false; }

std::vector<std::string> ExpandWildcards(const std::string& pattern) { return {pattern}; }

std::vector<std::string> StartCommand(int argc, char** argv) {
  RemoveTemporaryFilesOnSignals();
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace pixtrel
