#include "ui/win32/form1.h"

#include "platform/win32_text.h"
#include "ui/win32/resources.h"

namespace {

namespace form1 = pixtrel::form1;
using pixtrel::Wide;

constexpr wchar_t kWindowClass[] = L"Pixtrel.Form1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

/// The screen's resolution in dots per inch.
int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

/// The system's font for dialogs and message boxes, the platform's default font.
HFONT MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hIcon = LoadIconW(window_class.hInstance, MAKEINTRESOURCEW(kIconResource));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);  // Fails harmlessly when a window made it before.
}

}  // namespace

Form1::Form1(const std::string& program_dir, pixtrel::OpenDialog* dialog)
    : Form1Logic(program_dir, *this, dialog != nullptr ? *dialog : CommonDialog1), dpi_(ScreenDpi()) {
  RegisterWindowClass(WindowProcedure);
  RECT outer{0, 0, Pixels(form1::kClientWidth), Pixels(form1::kClientHeight)};
  AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_CONTROLPARENT);
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Wide(form1::kCaption).c_str(), kStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                          GetModuleHandleW(nullptr), this);
  font_ = MessageFont();
  // Made in the tab order: Command2, Command1, Text1.
  Command2 = MakeControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, form1::kCommand2, form1::kOpenCaption);
  Command1 = MakeControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, form1::kCommand1, form1::kStartCaption);
  Text1 = MakeControl(L"EDIT", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, form1::kText1, "");
  CommonDialog1.SetOwner(hwnd_);
  ApplySizeRule();
}

Form1::~Form1() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  DeleteObject(font_);
}

HWND Form1::MakeControl(const wchar_t* window_class, DWORD style, DWORD extended_style, const pixtrel::TwipsRect& twips,
                        const char* text) {
  HWND control = CreateWindowExW(extended_style, window_class, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                 Pixels(twips.left), Pixels(twips.top), Pixels(twips.width), Pixels(twips.height),
                                 hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void Form1::Show(int show_command) {
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
  SetFocus(Command2);
}

int Form1::RunEvents() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hwnd_, &message)) continue;  // Tab and the arrow keys move between the controls.
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return exit_status_;
}

LRESULT CALLBACK Form1::WindowProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return form != nullptr ? form->Handle(message, wparam, lparam) : DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT Form1::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      ApplySizeRule();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED && reinterpret_cast<HWND>(lparam) == Command1) Command1Click();
      if (HIWORD(wparam) == BN_CLICKED && reinterpret_cast<HWND>(lparam) == Command2) Command2Click();
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      PostQuitMessage(exit_status_);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

void Form1::ApplySizeRule() {
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  const pixtrel::SizeChange change = SizeRule(outer.right - outer.left, outer.bottom - outer.top, IsIconic(hwnd_),
                                              Pixels(form1::kOuterWidth), Pixels(form1::kOuterHeight));
  if (change.width)
    SetWindowPos(hwnd_, nullptr, 0, 0, *change.width, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (change.height) {
    GetWindowRect(hwnd_, &outer);  // Each size is read anew.
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, *change.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Form1::SetText1Text(const std::string& text) { SetWindowTextW(Text1, Wide(text).c_str()); }

void Form1::SetCommand1Enabled(bool enabled) { EnableWindow(Command1, enabled); }

void Form1::SetCommand1Text(const std::string& caption) {
  SetWindowTextW(Command1, Wide(caption).c_str());
  UpdateWindow(Command1);  // The run does not return to the event loop between lines.
}

void Form1::ShowMessage(const std::string& text) { MessageBoxW(hwnd_, Wide(text).c_str(), L"Pixtrel", MB_OK); }

void Form1::EndProgram() {
  exit_status_ = 1;
  DestroyWindow(hwnd_);
}
