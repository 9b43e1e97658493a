#pragma once

#include <windows.h>

#include "ui/form1_logic.h"

/// The window's Open dialog on the system's common Open dialog.
class CommonDialog : public pixtrel::OpenDialog {
 public:
  /// Sets the window the dialog opens over.
  void SetOwner(HWND owner) { owner_ = owner; }

  void ShowOpen() override;

 private:
  HWND owner_ = nullptr;
};
