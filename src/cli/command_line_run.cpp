#include "cli/command_line_run.h"

#include <unistd.h>

namespace pixtrel {

CommandLineRun::CommandLineRun(std::string data_dir, std::FILE* progress)
    : Extractor(std::move(data_dir)),
      progress_(progress),
      rewrite_line_(progress != nullptr && isatty(fileno(progress))) {}

void CommandLineRun::EnableCommand1(bool) {}

void CommandLineRun::SetCommand1Caption(const std::string& caption) {
  if (progress_ == nullptr) return;
  if (rewrite_line_) {
    std::fprintf(progress_, "\r%s\033[K", caption.c_str());
    line_open_ = true;
  } else {
    std::fprintf(progress_, "%s\n", caption.c_str());
  }
  std::fflush(progress_);
}

void CommandLineRun::ShowMessageBox(const std::string& text) {
  EndProgressLine();
  message_ = text;
}

void CommandLineRun::EndProgressLine() {
  if (line_open_) std::fputc('\n', progress_);
  line_open_ = false;
}

void CommandLineRun::ResetForm() {}

}  // namespace pixtrel
