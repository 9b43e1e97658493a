#pragma once

#include <cstdio>
#include <string>

#include "extract/window_operations.h"

namespace pixtrel {

/// The window operations of a run without a window: captions become
/// progress lines on a stream, the message box's text is kept for the
/// caller to print, and the Start button and the reset have nothing to act on.
class CommandLineWindow : public WindowOperations {
 public:
  /// Progress goes to `progress`, or nowhere when it is null: rewriting one
  /// line when `progress` is a terminal, one caption a line otherwise.
  explicit CommandLineWindow(std::FILE* progress);

  void EnableCommand1(bool enabled) override;
  void SetCommand1Caption(const std::string& caption) override;
  void ShowMessageBox(const std::string& text) override;
  void ResetForm() override;

  /// The text of the last message box.
  const std::string& message() const { return message_; }

  /// Ends a progress line being rewritten, so that what follows starts on a
  /// line of its own.
  void EndProgressLine();

 private:
  std::FILE* progress_;
  bool rewrite_line_;
  bool line_open_ = false;
  std::string message_;
};

}  // namespace pixtrel
