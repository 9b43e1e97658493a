// Other programs on a POSIX system: started with posix_spawn, their
// standard streams pipes the caller feeds and drains with poll.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <thread>

#include "platform/failure.h"
#include "platform/other_programs.h"

extern char** environ;

namespace pixtrel {

namespace {

/// A pipe whose ends are closed when it goes, neither inherited by programs
/// started later (O_CLOEXEC) except as posix_spawn hands one over.
struct Pipe {
  Pipe() {
    if (pipe2(ends.data(), O_CLOEXEC) != 0) throw FileFailure("a pipe", errno);
  }
  ~Pipe() {
    CloseEnd(0);
    CloseEnd(1);
  }
  void CloseEnd(int end) {
    if (ends[end] >= 0) close(ends[end]);
    ends[end] = -1;
  }
  std::array<int, 2> ends{-1, -1};
};

/// Feeds `input` to the program and gathers its two outputs until both end.
void Exchange(Pipe& in, Pipe& out, Pipe& err, std::string_view input, ProgramResult& result) {
  size_t fed = 0;
  if (input.empty()) in.CloseEnd(1);
  for (;;) {
    std::array<pollfd, 3> watched{{{in.ends[1], POLLOUT, 0}, {out.ends[0], POLLIN, 0}, {err.ends[0], POLLIN, 0}}};
    if (in.ends[1] < 0 && out.ends[0] < 0 && err.ends[0] < 0) return;
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) continue;
      throw FileFailure("poll", errno);
    }
    if (watched[0].revents != 0) {
      const ssize_t written = write(in.ends[1], input.data() + fed, std::min<size_t>(input.size() - fed, 65536));
      if (written > 0) fed += static_cast<size_t>(written);
      if (written < 0 || fed == input.size()) in.CloseEnd(1);  // A program that stops reading has what it read.
    }
    std::pair<Pipe*, std::string*> outputs[] = {{&out, &result.output}, {&err, &result.errors}};
    for (size_t i = 0; i < 2; ++i) {
      if (watched[i + 1].revents == 0) continue;
      char buffer[65536];
      const ssize_t got = read(outputs[i].first->ends[0], buffer, sizeof buffer);
      if (got > 0)
        outputs[i].second->append(buffer, static_cast<size_t>(got));
      else if (got == 0 || errno != EINTR)
        outputs[i].first->CloseEnd(0);
    }
  }
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         std::string_view input) {
  static const bool kWritesToClosedPipesFail = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
  (void)kWritesToClosedPipesFail;
  Pipe in, out, err;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in.ends[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out.ends[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err.ends[1], 2);
  std::vector<std::string> words = arguments;
  words.insert(words.begin(), program);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child;
  const int error = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw FileFailure(program, error);
  in.CloseEnd(0);
  out.CloseEnd(1);
  err.CloseEnd(1);
  ProgramResult result;
  Exchange(in, out, err, input, result);
  int status;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) throw FileFailure(program, errno);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string QuotedArgument(const std::string& argument) {
  const bool plain = !argument.empty() && argument.find_first_not_of(
                                              "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUV"
                                              "WXYZ0123456789-_./=+,:@%") == std::string::npos;
  if (plain) return argument;
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool OpenInBrowser(const std::string& address) {
  const char* kOpener = "/usr/bin/xdg-open";
  if (access(kOpener, X_OK) != 0) return false;
  // Some browsers keep xdg-open waiting until they end.
  std::thread([address, kOpener] {
    try {
      RunProgram(kOpener, {address}, "");
    } catch (const Failure&) {
    }
  }).detach();
  return true;
}

}  // namespace pixtrel
