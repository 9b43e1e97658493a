// The Win32 window driven in-process by its messages, with a stand-in for
// the Open dialog, and the real message boxes answered as they open.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/platform.h"
#include "platform/win32_text.h"
#include "test_support.h"
#include "ui/win32/form1.h"

namespace pixtrel {
namespace {

namespace form1 = pixtrel::form1;

/// An Open dialog that chooses `choice` when it is given one, and cancels otherwise.
class StandInDialog : public OpenDialog {
 public:
  std::string choice;
  int shown = 0;
  void ShowOpen() override {
    ++shown;
    if (!choice.empty()) SetFileName(choice);
  }
};

std::string TextOf(HWND window) {
  wchar_t text[1024];
  return Utf8(std::wstring_view(text, static_cast<size_t>(GetWindowTextW(window, text, 1024))));
}

/// The rectangle of a control in its window's client area.
RECT ClientRect(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

/// The screen's resolution the test is run at: $PIXTREL_SCREEN_DPI, else
/// Windows' default of 96 dots per inch.
int WantedDpi() {
  const char* dpi = std::getenv("PIXTREL_SCREEN_DPI");
  return dpi != nullptr ? std::atoi(dpi) : 96;
}

/// `twips` in pixels at the wanted resolution.
int WantedPixels(int twips) { return twips * WantedDpi() / 1440; }

/// The texts of the message boxes answered, in order.
std::vector<std::string> answered;

/// Answers the message box titled "Pixtrel" that is open, if one is.
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowW(L"#32770", L"Pixtrel");
  if (box == nullptr) return;
  wchar_t text[1024];
  answered.push_back(Utf8(std::wstring_view(text, GetDlgItemTextW(box, 0xFFFF, text, 1024))));
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);  // OK only.
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

/// Handles the messages that are waiting; returns the exit status a
/// WM_QUIT among them gives, or -1.
int Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    DispatchMessageW(&message);
  }
  return -1;
}

class Win32Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProcessDPIAware();  // As Pixtrel.exe is.
    answered.clear();
    timer_ = SetTimer(nullptr, 0, 20, AnswerMessageBox);
    form_ = std::make_unique<Form1>(ProgramDirectory(), &dialog_);
    ASSERT_TRUE(form_->Load());
    form_->Show(SW_SHOWNORMAL);
    Pump();
  }
  void TearDown() override {
    form_.reset();
    Pump();
    KillTimer(nullptr, timer_);
  }

  void Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
  }

  SIZE OuterSize() const {
    RECT rect;
    GetWindowRect(form_->hwnd(), &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
  }

  testing::TempDir dir_;
  StandInDialog dialog_;
  std::unique_ptr<Form1> form_;
  UINT_PTR timer_ = 0;
};

TEST_F(Win32Form1Test, StartsIdleWithItsControlsInPlace) {
  Form1& form = *form_;
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), WantedDpi());
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(TextOf(form.hwnd()), form1::kCaption);
  EXPECT_EQ(TextOf(form.Command2), "打开\u300C码表文件\u300D");
  EXPECT_EQ(TextOf(form.Command1), "开始");
  EXPECT_FALSE(IsWindowEnabled(form.Command1));
  EXPECT_TRUE(IsWindowEnabled(form.Command2));
  EXPECT_EQ(TextOf(form.Text1), "");
  EXPECT_TRUE(GetWindowLongW(form.Text1, GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(GetWindowLongW(form.hwnd(), GWL_STYLE) & WS_MAXIMIZEBOX);
  for (auto [control, twips] : {std::pair{form.Text1, form1::kText1}, std::pair{form.Command2, form1::kCommand2},
                                std::pair{form.Command1, form1::kCommand1}}) {
    const RECT rect = ClientRect(control);
    EXPECT_EQ(rect.left, WantedPixels(twips.left));
    EXPECT_EQ(rect.top, WantedPixels(twips.top));
    EXPECT_EQ(rect.right - rect.left, WantedPixels(twips.width));
    EXPECT_EQ(rect.bottom - rect.top, WantedPixels(twips.height));
  }
  // The outer size is held; the client area is what the frame leaves of it,
  // at any resolution room for every control.
  EXPECT_EQ(OuterSize().cx, WantedPixels(form1::kOuterWidth));
  EXPECT_EQ(OuterSize().cy, WantedPixels(form1::kOuterHeight));
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_GE(client.right, WantedPixels(form1::kClientWidth));
  EXPECT_GE(client.bottom, WantedPixels(form1::kClientHeight));
  RECT framed = client;
  AdjustWindowRectEx(&framed, GetWindowLongW(form.hwnd(), GWL_STYLE), FALSE, GetWindowLongW(form.hwnd(), GWL_EXSTYLE));
  EXPECT_EQ(framed.right - framed.left, OuterSize().cx);
  EXPECT_EQ(framed.bottom - framed.top, OuterSize().cy);
  EXPECT_EQ(GetFocus(), form.Command2);
  EnableWindow(form.Command1, TRUE);
  EXPECT_EQ(GetNextDlgTabItem(form.hwnd(), form.Command2, FALSE), form.Command1);
  EXPECT_EQ(GetNextDlgTabItem(form.hwnd(), form.Command1, FALSE), form.Text1);
  EXPECT_EQ(GetNextDlgTabItem(form.hwnd(), form.Text1, FALSE), form.Command2);
  EXPECT_EQ(dialog_.Filter(), form1::kFilter);
  EXPECT_EQ(dialog_.FilterIndex(), 1);
}

TEST_F(Win32Form1Test, HoldsItsOuterSizeUnlessMinimized) {
  SetWindowPos(form_->hwnd(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(OuterSize().cx, WantedPixels(form1::kOuterWidth));
  EXPECT_EQ(OuterSize().cy, WantedPixels(form1::kOuterHeight));
  ShowWindow(form_->hwnd(), SW_MINIMIZE);
  Pump();
  EXPECT_TRUE(IsIconic(form_->hwnd()));
  ShowWindow(form_->hwnd(), SW_RESTORE);
  Pump();
  EXPECT_EQ(OuterSize().cx, WantedPixels(form1::kOuterWidth));
  EXPECT_EQ(OuterSize().cy, WantedPixels(form1::kOuterHeight));
}

TEST_F(Win32Form1Test, ChooseTheSampleStartAndReset) {
  std::filesystem::copy_file(PIXTREL_SAMPLES "/menu.txt", dir_ / "menu.txt");
  dialog_.choice = dir_ / "menu.txt";
  Click(form_->Command2);
  EXPECT_EQ(TextOf(form_->Text1), dir_ / "menu.txt");
  EXPECT_TRUE(IsWindowEnabled(form_->Command1));
  Click(form_->Command1);
  EXPECT_EQ(answered, std::vector<std::string>{"Over !"});
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"),
            testing::ExpectedGlyphs(ProgramDirectory(), testing::ReadFile(dir_ / "menu.txt")));
  EXPECT_EQ(TextOf(form_->Text1), "");
  EXPECT_EQ(dialog_.FileName(), "");
  EXPECT_FALSE(IsWindowEnabled(form_->Command1));
  EXPECT_EQ(TextOf(form_->Command1), "开始");
}

TEST_F(Win32Form1Test, RefusesTheDataFilesInAnyLetterCase) {
  const std::string font = testing::ReadFile(JoinPath(ProgramDirectory(), "GB2312.bin"));
  dialog_.choice = JoinPath(ProgramDirectory(), "gb2312.TBL");
  Click(form_->Command2);
  EXPECT_EQ(answered, std::vector<std::string>{"Dont't touch the backup !"});
  EXPECT_FALSE(IsWindowEnabled(form_->Command1));
  EXPECT_EQ(TextOf(form_->Text1), "");
  EXPECT_EQ(testing::ReadFile(JoinPath(ProgramDirectory(), "GB2312.bin")), font);
}

TEST_F(Win32Form1Test, AFailedRunIsShownAndEndsTheProgram) {
  dialog_.choice = dir_ / "gone.txt";
  Click(form_->Command2);
  SendMessageW(form_->Command1, BM_CLICK, 0, 0);
  EXPECT_EQ(Pump(), 1);
  EXPECT_EQ(answered, std::vector<std::string>{(dir_ / "gone.txt") + ": " + testing::NoSuchFileText()});
  EXPECT_FALSE(IsWindow(form_->hwnd()));
}

/// The value `name` of the version record of the executable `path`.
std::string VersionValue(const std::wstring& path, const std::wstring& name) {
  std::string record(GetFileVersionInfoSizeW(path.c_str(), nullptr), '\0');
  if (record.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(record.size()), record.data()))
    return "no version record";
  void* value = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(record.data(), name.c_str(), &value, &size)) return "no " + Utf8(name);
  if (name == L"\\VarFileInfo\\Translation") {
    const auto* words = static_cast<const WORD*>(value);
    return std::to_string(words[0]) + " " + std::to_string(words[1]);
  }
  if (name == L"\\") {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    return std::to_string(fixed->dwFileVersionMS >> 16) + "." + std::to_string(fixed->dwFileVersionMS & 0xFFFF) + "." +
           std::to_string(fixed->dwFileVersionLS >> 16) + "." + std::to_string(fixed->dwFileVersionLS & 0xFFFF);
  }
  return Utf8(static_cast<const wchar_t*>(value));
}

TEST(Win32ResourcesTest, TheVersionRecordAndTheIcon) {
  const std::wstring program = Wide(JoinPath(ProgramDirectory(), "Pixtrel.exe"));
  EXPECT_EQ(VersionValue(program, L"\\"), "0.1.0.0");
  EXPECT_EQ(VersionValue(program, L"\\VarFileInfo\\Translation"), "2052 1200");  // Chinese (PRC), Unicode.
  for (const wchar_t* name : {L"ProductName", L"InternalName"})
    EXPECT_EQ(VersionValue(program, std::wstring(L"\\StringFileInfo\\080404B0\\") + name), "Pixtrel");
  EXPECT_EQ(VersionValue(program, L"\\StringFileInfo\\080404B0\\OriginalFilename"), "Pixtrel.exe");
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"})
    EXPECT_EQ(VersionValue(program, std::wstring(L"\\StringFileInfo\\080404B0\\") + name), "0.01");

  // The icon group holds one image of 32 x 32 in 16 colours.
  HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const auto* entries = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  EXPECT_EQ(entries[4], 1);                      // One image,
  EXPECT_EQ(entries[6], 32);                     // 32 wide,
  EXPECT_EQ(entries[7], 32);                     // 32 high,
  EXPECT_EQ(entries[8], 16);                     // in 16 colours,
  EXPECT_EQ(entries[12] | entries[13] << 8, 4);  // of 4 bits a pixel.
  FreeLibrary(module);
}

}  // namespace
}  // namespace pixtrel
