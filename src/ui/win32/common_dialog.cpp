#include "ui/win32/common_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

#include "platform/win32_text.h"

void CommonDialog::ShowOpen() {
  // The filter as the dialog takes it: each "|" a NUL, and two at the end.
  std::wstring filter = pixtrel::Wide(Filter());
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.append(2, L'\0');
  std::wstring file(32768, L'\0');
  const std::wstring name = pixtrel::Wide(FileName());
  std::copy_n(name.begin(), std::min(name.size(), file.size() - 1), file.begin());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(FilterIndex());
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  if (GetOpenFileNameW(&dialog)) SetFileName(pixtrel::Utf8(file.c_str()));
}
