#include "cli/command_line_window.h"

#include "platform/platform.h"

namespace pixtrel {

CommandLineWindow::CommandLineWindow(std::FILE* progress)
    : progress_(progress), rewrite_line_(progress != nullptr && IsTerminal(progress)) {}

void CommandLineWindow::EnableCommand1(bool) {}

void CommandLineWindow::SetCommand1Caption(const std::string& caption) {
  if (progress_ == nullptr) return;
  if (rewrite_line_) {
    std::fprintf(progress_, "\r%s\033[K", caption.c_str());
    line_open_ = true;
  } else {
    std::fprintf(progress_, "%s\n", caption.c_str());
  }
  std::fflush(progress_);
}

void CommandLineWindow::ShowMessageBox(const std::string& text) {
  EndProgressLine();
  message_ = text;
}

void CommandLineWindow::EndProgressLine() {
  if (line_open_) std::fputc('\n', progress_);
  line_open_ = false;
}

void CommandLineWindow::ResetForm() {}

}  // namespace pixtrel
