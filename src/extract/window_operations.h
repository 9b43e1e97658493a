#pragma once

#include <string>

namespace pixtrel {

/// The four operations of the window that a run touches. The window does
/// them on its controls; pixtrel-extract and the tests do them their own way.
class WindowOperations {
 public:
  virtual ~WindowOperations() = default;

  /// Enables or disables the Start button, Command1.
  virtual void EnableCommand1(bool enabled) = 0;

  /// Shows `caption` on Command1 at once: the run does not return to the
  /// event loop between lines.
  virtual void SetCommand1Caption(const std::string& caption) = 0;

  /// Shows `text` in a modal message box and returns when it is dismissed.
  virtual void ShowMessageBox(const std::string& text) = 0;

  /// Returns the window to its idle state.
  virtual void ResetForm() = 0;
};

}  // namespace pixtrel
