#pragma once

#include <windows.h>

#include <string>

#include "ui/form1_logic.h"
#include "ui/win32/common_dialog.h"

/// The program's one window on Win32: the path box Text1 (a read-only
/// EDIT), the Open button Command2 and the Start button Command1 (BUTTONs)
/// and the Open dialog CommonDialog1, over the window's logic. Its outer
/// size is held at 4800 x 1605 twips at the screen's resolution.
class Form1 : private pixtrel::Form1Controls, public pixtrel::Form1Logic {
 public:
  /// A window whose data files lie in `program_dir`, created but neither
  /// loaded nor shown. The Open dialog is `dialog` when given (it must
  /// outlive the window), CommonDialog1 otherwise.
  explicit Form1(const std::string& program_dir, pixtrel::OpenDialog* dialog = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  /// Shows the window, the focus on Command2.
  void Show(int show_command);

  /// Runs the window's events until it is closed; returns the program's
  /// exit status: 0, or 1 after a failure.
  int RunEvents();

  /// Pixels at the screen's resolution for `twips`.
  int Pixels(int twips) const { return pixtrel::form1::Pixels(twips, dpi_); }

  HWND hwnd() const { return hwnd_; }
  HWND Text1 = nullptr;
  HWND Command2 = nullptr;
  HWND Command1 = nullptr;
  CommonDialog CommonDialog1;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  /// Makes a control of `window_class` at `twips` with `text`.
  HWND MakeControl(const wchar_t* window_class, DWORD style, DWORD extended_style, const pixtrel::TwipsRect& twips,
                   const char* text);
  /// Keeps the outer size at 4800 x 1605 twips unless minimized.
  void ApplySizeRule();

  void SetText1Text(const std::string& text) override;
  void SetCommand1Enabled(bool enabled) override;
  void SetCommand1Text(const std::string& caption) override;
  void ShowMessage(const std::string& text) override;
  void EndProgram() override;

  int dpi_ = 96;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int exit_status_ = 0;
};
