#pragma once

// Other programs the studio starts: the command it runs for the page, and
// the browser that shows the page.

#include <string>
#include <string_view>
#include <vector>

namespace pixtrel {

/// What a program run to its end did.
struct ProgramResult {
  int status = 0;      ///< Its exit status; 128 + the signal's number when a signal ended it.
  std::string output;  ///< What it wrote on standard output.
  std::string errors;  ///< What it wrote on standard error.
};

/// Runs `program` with `arguments` (those after the program's own name) in
/// the current directory, `input` on its standard input, without a window
/// of its own, and waits for its end, gathering what it writes (on Windows,
/// where a program writes to a pipe in the ANSI code page, turned from it
/// into UTF-8). Safe to call
/// from several threads at once. Throws Failure naming `program` when it
/// cannot be started.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments, std::string_view input);

/// `argument` written so that the system's command line reads it back as
/// one word, as it is: unchanged when it needs nothing; on POSIX systems in
/// a shell's single quotes, on Windows in double quotes as programs' start
/// up code reads them (CommandLineToArgvW).
std::string QuotedArgument(const std::string& argument);

/// Shows `address` in the user's default browser, not waiting for it;
/// false when no browser could be started.
bool OpenInBrowser(const std::string& address);

}  // namespace pixtrel
