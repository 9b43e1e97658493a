// Text on Windows: UTF-8 and UTF-16, the system's error texts, conversion
// between character sets by code page, and writing to a console.

#include "platform/win32_text.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/platform.h"

namespace pixtrel {

namespace {

/// The code page of a character set named as iconv names it, or 0.
UINT CodePageOf(std::string_view name) {
  auto is = [&](const char* other) { return _stricmp(std::string(name).c_str(), other) == 0; };
  if (is("UTF-8") || is("UTF8")) return CP_UTF8;
  if (is("CP936") || is("GBK") || is("GB2312")) return 936;
  if (is("GB18030")) return 54936;
  if (is("ASCII") || is("US-ASCII")) return 20127;
  return 0;
}

constexpr std::string_view kUtf32 = "UTF-32LE";

/// `text` decoded to UTF-16 from the code page `code_page`; none when it is ill-formed.
std::optional<std::wstring> Decode(UINT code_page, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size =
      MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

/// `wide` encoded in the code page `code_page`; none when a character has no form there.
std::optional<std::string> Encode(UINT code_page, std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const bool utf8 = code_page == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  const int size = WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                       nullptr, utf8 ? nullptr : &defaulted);
  if (size == 0 || defaulted) return std::nullopt;
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr,
                      nullptr);
  return text;
}

/// UTF-32LE `text` in UTF-16; none when it holds no whole characters.
std::optional<std::wstring> FromUtf32(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::wstring wide;
  for (size_t i = 0; i < text.size(); i += 4) {
    uint32_t c = 0;
    for (int k = 3; k >= 0; --k) c = c << 8 | static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    if (c < 0x10000) {
      wide += static_cast<wchar_t>(c);
    } else {
      wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return wide;
}

/// UTF-16 `wide` in UTF-32LE; none when a surrogate stands alone.
std::optional<std::string> ToUtf32(std::wstring_view wide) {
  std::string text;
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
    else if (c >= 0xD800 && c <= 0xDFFF)
      return std::nullopt;
    for (int k = 0; k < 4; ++k) text += static_cast<char>(c >> (8 * k) & 0xFF);
  }
  return text;
}

}  // namespace

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD size =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = size != 0 ? std::wstring(text, size) : L"Error " + std::to_wstring(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' ||
                              message.back() == L'.' || message.back() == L'\x3002'))
    message.pop_back();
  return Utf8(message);
}

Failure SystemFailure(const std::string& path, DWORD error) { return FileFailure(path, SystemMessage(error)); }

std::optional<std::string> ConvertText(const char* to, const char* from, std::string_view text) {
  const UINT from_page = CodePageOf(from), to_page = CodePageOf(to);
  if ((from_page == 0 && from != kUtf32) || (to_page == 0 && to != kUtf32))
    throw Failure(std::string("No conversion from ") + from + " to " + to + " in the system");
  const std::optional<std::wstring> wide = from_page != 0 ? Decode(from_page, text) : FromUtf32(text);
  if (!wide) return std::nullopt;
  return to_page != 0 ? Encode(to_page, *wide) : ToUtf32(*wide);
}

std::string LocaleCharset() { return "UTF-8"; }

namespace {

/// `text` in `code_page`, a character it lacks a "?", never a look-alike
/// (a "g" for the fullwidth "ｇ").
std::string InCodePage(UINT code_page, std::string_view text) {
  const std::wstring wide = Wide(text);
  if (code_page == CP_UTF8 || wide.empty()) return std::string(text);
  const int size = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string(text);
  std::string converted(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), converted.data(),
                      size, nullptr, nullptr);
  return converted;
}

}  // namespace

void WriteText(std::FILE* stream, std::string_view text) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    // To a file or a pipe: in the code page a console, an IDE's build log and `type` read it in.
    const UINT console = GetConsoleOutputCP();
    const std::string converted = InCodePage(console != 0 ? console : GetACP(), text);
    std::fwrite(converted.data(), 1, converted.size(), stream);
    return;
  }
  std::fflush(stream);
  const std::wstring wide = Wide(text);
  DWORD written;
  WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace pixtrel
