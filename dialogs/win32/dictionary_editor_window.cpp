#include "dialogs/win32/dictionary_editor_window.h"

#include <utility>

#include "dialogs/logic/collation.h"
#include "dialogs/win32/control_ids.h"

namespace kv::dialogs::win32 {

namespace {

constexpr UINT kTellSoon = WM_APP + 1;
constexpr LCID kCzech = 0x0405;

RECT R(int x, int y, int width, int height) {
  return {x, y, x + width, y + height};
}

// Windows' Czech order, case-insensitive: "ch" after "h".
class CzechCollation final : public Collation {
 public:
  int Compare(std::u16string_view a, std::u16string_view b) const override {
    const int result =
        ::CompareStringW(kCzech, NORM_IGNORECASE, reinterpret_cast<const wchar_t*>(a.data()),
                         int(a.size()), reinterpret_cast<const wchar_t*>(b.data()), int(b.size()));
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
  }
};

std::filesystem::path ThisModulePath() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModulePath), &module);
  std::wstring name(MAX_PATH, L'\0');
  name.resize(::GetModuleFileNameW(module, name.data(), DWORD(name.size())));
  return name;
}

// The edit control's lines end with CR LF; the logic's with LF.
std::u16string ToEditLines(std::u16string_view text) {
  std::u16string lines;
  for (char16_t c : text) {
    if (c == u'\n') lines += u'\r';
    lines += c;
  }
  return lines;
}

}  // namespace

TFormSlovnik::TFormSlovnik()
    : FormWindow(kDictionaryEditorFrame), logic_(*this, ThisModulePath()) {}

void TFormSlovnik::BuildControls() {
  // The sort button lies over the memo's top right corner: made first, it stays on top.
  ButtonSort = Button(Window(), kIdSort, "sort", R(8 + 247 - 18 - 36, 9, 36, 16));
  Slovnik = Control(Window(), L"EDIT", kIdDictionary, L"Slovník (výraz=vyslov)", R(8, 8, 247, 212),
                    WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                        ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_CLIPSIBLINGS,
                    WS_EX_CLIENTEDGE);
  ::SendMessageW(Slovnik, EM_SETLIMITTEXT, 0, 0);
  ::SetWindowPos(ButtonSort, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ButtonRekni = Button(Window(), kIdSpeak, kSpeakCaption, R(8, 228, 96, 25));
  Rikat = CheckBox(Window(), kIdRikat, "Říkat", R(110, 232, 14, 18));
  Button2 = Button(Window(), kIdClose, kCloseCaption, R(180, 228, 75, 25));
  AddPlacement(logic_.FormStorage(), kDictionaryEditorFrame.name);
  // Tab leaves the memo instead of being typed into it.
  SetTabOrder({Slovnik, ButtonSort, ButtonRekni, Rikat, Button2});
}

LRESULT TFormSlovnik::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kIdDictionary:
          if (HIWORD(wParam) == EN_CHANGE) logic_.SlovnikChange();
          return 0;
        case kIdSpeak:
          logic_.ButtonRekniClick();
          return 0;
        case kIdSort:
          logic_.ButtonSortClick(CzechCollation());
          return 0;
        case kIdClose:
          CloseRequested();
          return 0;
        default:
          break;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && ::IsWindowVisible(Window())) logic_.FormDeactivate();
      break;
    case kTellSoon:
      if (!toldSoon_.empty()) Tell(std::exchange(toldSoon_, {}));
      return 0;
    default:
      break;
  }
  return FormWindow::Handle(message, wParam, lParam);
}

void TFormSlovnik::CloseRequested() {
  if (logic_.CloseRequested()) Finish();
}

bool TFormSlovnik::PreviewKey(const MSG& msg) {
  if (msg.wParam == VK_F5) {
    logic_.ButtonRekniClick();
    return true;
  }
  return false;
}

std::u16string TFormSlovnik::Text() const {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(Slovnik)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(Slovnik, text.data(), int(text.size()))));
  std::u16string lines;
  for (wchar_t c : text)
    if (c != L'\r') lines += static_cast<char16_t>(c);
  return lines;
}

size_t TFormSlovnik::CaretPosition() const {
  DWORD start = 0;
  ::SendMessageW(Slovnik, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(Slovnik)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(Slovnik, text.data(), int(text.size()))));
  size_t returns = 0;
  for (size_t i = 0; i < start && i < text.size(); ++i) returns += text[i] == L'\r';
  return start - returns;
}

void TFormSlovnik::LoadText(const std::u16string& text) {
  ::SetWindowTextW(Slovnik, W(ToEditLines(text)).c_str());
}

// As typing would: it can be undone, and it marks the text modified.
void TFormSlovnik::ReplaceText(const std::u16string& text) {
  ::SendMessageW(Slovnik, EM_SETSEL, 0, -1);
  ::SendMessageW(Slovnik, EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(W(ToEditLines(text)).c_str()));
  ::SendMessageW(Slovnik, EM_SETMODIFY, TRUE, 0);
}

bool TFormSlovnik::Modified() const {
  return ::SendMessageW(Slovnik, EM_GETMODIFY, 0, 0) != 0;
}

void TFormSlovnik::SetModified(bool modified) {
  ::SendMessageW(Slovnik, EM_SETMODIFY, modified, 0);
}

bool TFormSlovnik::RikatChecked() const {
  return ::SendMessageW(Rikat, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TFormSlovnik::SetRikatChecked(bool checked) {
  ::SendMessageW(Rikat, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TFormSlovnik::TellUserSoon(const std::string& utf8) {
  toldSoon_ = utf8;
  ::PostMessageW(Window(), kTellSoon, 0, 0);
}

}  // namespace kv::dialogs::win32
