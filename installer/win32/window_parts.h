// What the installer window's files share: its sizes and names, its controls' identifiers and
// small helpers for the controls' texts (Windows-1250 inside, UTF-16 in the controls).
#pragma once

#include <string>

#include "platform/win32/windows_api.h"

namespace kv::installer::window_parts {

constexpr int kClientWidth = 476;
constexpr int kClientHeight = 313;
constexpr const wchar_t* kWindowClass = L"TForm_tts_Install";
constexpr const wchar_t* kPageClass = L"TKvTabSheet";
constexpr const wchar_t* kWebAddress = L"https://www.korven.cz/";

enum ControlId : int {
  kIdOk = 100,
  kIdRikat,
  kIdLL,
  kIdTabs,
  kIdInstall,
  kIdPrectiTo,
  kIdTestMSAgent,
  kIdUrl,
  kIdEngines,
  kIdMemo,
  kIdButton4,
  kIdSlovnik,
  kIdProperties,
  kIdUninit,
  kIdButton2,
  kIdButton5,
  kIdOpenInBrowser
};
enum TimerId : UINT_PTR { kTimer1 = 1, kPosTimer = 2 };

// FormStorage1: the window's position and active page, per user.
constexpr const char* kStorageKey = "SOFTWARE\\KORVEN\\KV_TTS_Install";

inline std::wstring W(const std::string& cp1250) {
  return win32::WideFromCp1250(cp1250);
}

inline std::string TextOf(HWND control) {
  std::wstring text(size_t(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(size_t(::GetWindowTextW(control, text.data(), int(text.size()))));
  return win32::Cp1250FromWide(text);
}

// The edit control's CR LF line breaks are the form's "\n" (as the other face's memo gives).
inline std::string FromEditText(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

inline std::string ToEditText(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

inline void SetChecked(HWND box, bool checked) {
  ::SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

inline bool Checked(HWND box) {
  return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace kv::installer::window_parts
