#include "cli/command_line_window.h"

#include "platform/platform.h"

namespace pixtrel {

CommandLineWindow::CommandLineWindow(std::FILE* progress)
    : progress_(progress), rewrite_line_(progress != nullptr && IsTerminal(progress)) {}

void CommandLineWindow::EnableCommand1(bool) {}

void CommandLineWindow::SetCommand1Caption(const std::string& caption) {
  if (progress_ == nullptr) return;
  WriteText(progress_, rewrite_line_ ? "\r" + caption + "\033[K" : caption + "\n");
  line_open_ = rewrite_line_;
  std::fflush(progress_);
}

void CommandLineWindow::ShowMessageBox(const std::string& text) {
  EndProgressLine();
  message_ = text;
}

void CommandLineWindow::EndProgressLine() {
  if (line_open_) WriteText(progress_, "\n");
  line_open_ = false;
}

void CommandLineWindow::ResetForm() {}

}  // namespace pixtrel
