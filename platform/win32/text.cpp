#include "platform/cp1250.h"
#include "platform/win32/windows_api.h"

namespace kv::win32 {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0)
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr,
                          nullptr);
  return out;
}

// wchar_t is UTF-16 here, so the code page's own tables do the work.
std::wstring WideFromCp1250(std::string_view text) {
  const std::u16string utf16 = cp1250::ToUtf16(text);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Cp1250FromWide(std::wstring_view wide) {
  return cp1250::FromUtf16(std::u16string(wide.begin(), wide.end()));
}

}  // namespace kv::win32
