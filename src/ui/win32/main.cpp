// Pixtrel: the window program on Windows.

#include <windows.h>

#include "platform/failure.h"
#include "platform/platform.h"
#include "platform/win32_text.h"
#include "ui/win32/form1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
  SetProcessDPIAware();  // The window is laid out in twips at the screen's resolution.
  try {
    Form1 form(pixtrel::ProgramDirectory());
    if (!form.Load()) return 1;
    form.Show(show_command);
    return form.RunEvents();
  } catch (const pixtrel::Failure& failure) {
    MessageBoxW(nullptr, pixtrel::Wide(failure.what()).c_str(), L"Pixtrel", MB_OK);
    return 1;
  }
}
