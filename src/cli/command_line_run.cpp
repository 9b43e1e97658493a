#include "cli/command_line_run.h"

#include <unistd.h>

#include "cli/utf8_source.h"

namespace pixtrel {

CommandLineRun::CommandLineRun(std::string data_dir, std::FILE* progress, MissingReport* missing)
    : Extractor(std::move(data_dir)),
      progress_(progress),
      missing_(missing),
      rewrite_line_(progress != nullptr && isatty(fileno(progress))) {}

void CommandLineRun::OpenUtf8Source() {
  Utf8Source::UnconvertibleFn unconvertible;
  if (missing_ != nullptr)
    unconvertible = [this](std::string_view character, int64_t line) { missing_->AddUnconvertible(character, line); };
  source_ = std::make_unique<Utf8Source>(SourcePath, unconvertible);
}

std::unique_ptr<ByteSource> CommandLineRun::OpenSource() {
  return source_ ? std::move(source_) : Extractor::OpenSource();
}

void CommandLineRun::MissingCharacter(uint16_t code, int64_t line_number) {
  if (missing_ != nullptr) missing_->AddMissing(code, line_number);
}

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
