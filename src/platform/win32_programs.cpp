// Other programs on Windows: started by CreateProcessW with pipes for their
// standard streams, fed and drained by threads of their own.

#include <windows.h>
// After windows.h, which it needs:
#include <shellapi.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "platform/other_programs.h"
#include "platform/win32_text.h"

namespace pixtrel {

namespace {

/// A handle closed when it goes.
struct OwnedHandle {
  HANDLE handle = nullptr;
  OwnedHandle() = default;
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Close(); }
  void Close() {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = nullptr;
  }
};

/// A pipe whose end `inherited` (0 the reading end, 1 the writing one) the
/// next program started inherits.
struct Pipe {
  explicit Pipe(int inherited) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    if (!CreatePipe(&ends[0].handle, &ends[1].handle, &attributes, 0)) throw SystemFailure("a pipe", GetLastError());
    SetHandleInformation(ends[1 - inherited].handle, HANDLE_FLAG_INHERIT, 0);
  }
  OwnedHandle ends[2];
};

/// Reads `from` to its end into `into`.
void Drain(HANDLE from, std::string& into) {
  char buffer[65536];
  DWORD got;
  while (ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0) into.append(buffer, got);
}

/// `text`, which a program without a console wrote to a pipe in the ANSI
/// code page, in UTF-8.
std::string FromAnsi(const std::string& text) {
  if (text.empty()) return text;
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return Utf8(wide);
}

/// The command line that starts `program` with `arguments`.
std::wstring CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = QuotedArgument(program);
  for (const std::string& argument : arguments) line += " " + QuotedArgument(argument);
  return Wide(line);
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         std::string_view input) {
  // Inheritable handles go to every program started meanwhile: one start at a time.
  static std::mutex starting;
  std::unique_lock<std::mutex> lock(starting);
  Pipe in(0), out(1), err(1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.ends[0].handle;
  startup.hStdOutput = out.ends[1].handle;
  startup.hStdError = err.ends[1].handle;
  std::wstring command_line = CommandLine(program, arguments);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(Wide(program).c_str(), command_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &started))
    throw SystemFailure(program, GetLastError());
  OwnedHandle process, thread;
  process.handle = started.hProcess;
  thread.handle = started.hThread;
  in.ends[0].Close();
  out.ends[1].Close();
  err.ends[1].Close();
  lock.unlock();
  ProgramResult result;
  std::thread feeder([&] {
    size_t fed = 0;
    DWORD written;
    while (fed < input.size() &&
           WriteFile(in.ends[1].handle, input.data() + fed,
                     static_cast<DWORD>(std::min<size_t>(input.size() - fed, 65536)), &written, nullptr))
      fed += written;
    in.ends[1].Close();
  });
  std::thread errors([&] { Drain(err.ends[0].handle, result.errors); });
  Drain(out.ends[0].handle, result.output);
  feeder.join();
  errors.join();
  WaitForSingleObject(process.handle, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.handle, &status);
  result.status = static_cast<int>(status);
  result.output = FromAnsi(result.output);
  result.errors = FromAnsi(result.errors);
  return result;
}

std::string QuotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');  // Before the closing quote.
  return quoted + "\"";
}

bool OpenInBrowser(const std::string& address) {
  const HINSTANCE opened = ShellExecuteW(nullptr, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(opened) > 32;
}

}  // namespace pixtrel
