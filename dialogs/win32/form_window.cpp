#include "dialogs/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "dialogs/logic/gradient.h"
#include "dialogs/logic/settings_store.h"

namespace kv::dialogs::win32 {

namespace {

constexpr const wchar_t* kFormClass = L"KvTTSForm";
constexpr const wchar_t* kPageClass = L"KvTTSFormPage";
// The forms are laid out for a small dialog font.
constexpr int kFontPixelSize = 11;
// Without WS_CLIPCHILDREN: the gradient is painted under the labels, which let it show.
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// Where a window of the given client size stands centred over its owner (or the screen).
POINT CentredOrigin(HWND owner, SIZE outer) {
  RECT area{};
  if (owner == nullptr || !::GetWindowRect(owner, &area) || area.right - area.left < outer.cx)
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return {area.left + (area.right - area.left - outer.cx) / 2,
          area.top + (area.bottom - area.top - outer.cy) / 2};
}

}  // namespace

std::wstring W(std::string_view utf8) {
  return kv::win32::Wide(utf8);
}
std::u16string U16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}
std::wstring W(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

FormWindow::~FormWindow() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  if (font_ != nullptr) ::DeleteObject(font_);
}

bool FormWindow::Create(HWND owner) {
  static const bool registered = [] {
    WNDCLASSW form{};
    form.lpfnWndProc = Procedure;
    form.hInstance = ThisModule();
    form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    WNDCLASSW page = form;
    page.lpfnWndProc = PageProcedure;
    page.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    page.lpszClassName = kPageClass;
    return ::RegisterClassW(&form) != 0 && ::RegisterClassW(&page) != 0;
  }();
  if (!registered) return false;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  font_ = ::CreateFontW(-kFontPixelSize, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"Tahoma");
  RECT outer{0, 0, frame_.clientWidth, frame_.clientHeight};
  ::AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  const SIZE size{outer.right - outer.left, outer.bottom - outer.top};
  const POINT origin = CentredOrigin(owner, size);
  window_ =
      ::CreateWindowExW(kFormExStyle, kFormClass, W(frame_.caption).c_str(), kFormStyle, origin.x,
                        origin.y, size.cx, size.cy, owner, nullptr, ThisModule(), this);
  if (window_ == nullptr) return false;
  tooltip_ =
      ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, ThisModule(), nullptr);
  BuildControls();
  return true;
}

void FormWindow::RunModal(HWND owner) {
  // The desktop is nobody's to disable.
  const bool disable =
      owner != nullptr && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner) != FALSE;
  if (disable) ::EnableWindow(owner, FALSE);
  Shown();
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
  running_ = true;
  MSG msg;
  while (running_) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // the host's loop ends too
      Finish();
      break;
    }
    if (got < 0) break;
    const bool ours = msg.hwnd == window_ || ::IsChild(window_, msg.hwnd);
    if (ours && msg.message == WM_KEYDOWN && (PreviewKey(msg) || MoveFocus(msg))) continue;
    if (ours && ::IsDialogMessageW(window_, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  // The owner first, so that the activation goes back to it; the form goes with its window.
  if (disable) ::EnableWindow(owner, TRUE);
}

bool FormWindow::MoveFocus(const MSG& msg) {
  if (msg.wParam != VK_TAB || tabOrder_.empty() || ::GetKeyState(VK_CONTROL) < 0) return false;
  const int count = static_cast<int>(tabOrder_.size());
  int at = 0;
  while (at < count && tabOrder_[at] != msg.hwnd && !::IsChild(tabOrder_[at], msg.hwnd)) ++at;
  if (at == count) return false;
  const int step = ::GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  for (int i = (at + step) % count; i != at; i = (i + step) % count) {
    if (::IsWindowVisible(tabOrder_[i]) && ::IsWindowEnabled(tabOrder_[i])) {
      ::SetFocus(tabOrder_[i]);
      if (::SendMessageW(tabOrder_[i], WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageW(tabOrder_[i], EM_SETSEL, 0, -1);
      break;
    }
  }
  return true;
}

void FormWindow::Finish() {
  if (!running_) return;
  running_ = false;
  Hidden();
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      PaintGradient(window_, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
      CloseRequested();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        CloseRequested();
        return 0;
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

// Labels and check boxes on the gradient let it show through; on a page they take the page's
// colour.
LRESULT FormWindow::ColourStatic(HDC dc, HWND control) {
  if (::GetParent(control) == window_) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  }
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr || form->window_ != window)
    return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    form->window_ = nullptr;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return form->Handle(message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::PageProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ::SendMessageW(::GetParent(window), message, wParam, lParam);
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND FormWindow::Control(HWND parent, const wchar_t* type, int id, std::wstring_view text,
                         RECT where, DWORD style, DWORD exStyle) {
  HWND control = ::CreateWindowExW(
      exStyle, type, std::wstring(text).c_str(), WS_CHILD | WS_VISIBLE | style, where.left,
      where.top, where.right - where.left, where.bottom - where.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
  return control;
}

HWND FormWindow::Label(HWND parent, std::string_view text, RECT where, DWORD style) {
  return Control(parent, L"STATIC", -1, W(text), where, SS_LEFT | style);
}

HWND FormWindow::Button(HWND parent, int id, std::string_view text, RECT where, DWORD style) {
  return Control(parent, L"BUTTON", id, W(text), where, WS_TABSTOP | BS_PUSHBUTTON | style);
}

HWND FormWindow::CheckBox(HWND parent, int id, std::string_view text, RECT where) {
  return Control(parent, L"BUTTON", id, W(text), where, WS_TABSTOP | BS_AUTOCHECKBOX);
}

HWND FormWindow::Page(RECT where) {
  return Control(window_, kPageClass, -1, L"", where, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT);
}

void FormWindow::AddHint(HWND control, std::string_view text) {
  if (tooltip_ == nullptr) return;
  std::wstring hint = W(text);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = hint.data();
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::SetLabelText(HWND label, std::string_view text) {
  ::SetWindowTextW(label, W(text).c_str());
  HWND parent = ::GetParent(label);
  RECT where;
  ::GetWindowRect(label, &where);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&where), 2);
  ::RedrawWindow(parent, &where, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::AddPlacement(SettingsStore& store, const std::string& name) {
  auto origin = [this] {
    POINT client{0, 0};
    ::ClientToScreen(window_, &client);
    return client;
  };
  auto place = [this, origin](POINT where) {
    if (::MonitorFromPoint(where, MONITOR_DEFAULTTONULL) == nullptr) return;
    RECT frame;
    ::GetWindowRect(window_, &frame);
    const POINT now = origin();
    ::SetWindowPos(window_, nullptr, frame.left + where.x - now.x, frame.top + where.y - now.y, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  store.AddNumber(
      name + "_Left", [origin] { return int(origin().x); },
      [origin, place](int x) {
        place({x, origin().y});
      });
  store.AddNumber(
      name + "_Top", [origin] { return int(origin().y); },
      [origin, place](int y) {
        place({origin().x, y});
      });
}

void FormWindow::Tell(const std::string& utf8) {
  ::MessageBoxW(window_, W(utf8).c_str(), W(frame_.caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

void PaintGradient(HWND form, HDC dc) {
  HDC screen = ::GetDC(nullptr);
  const int colours = ::GetDeviceCaps(screen, NUMCOLORS);
  ::ReleaseDC(nullptr, screen);
  if (!GradientFits(colours)) return;
  RECT outer, client;
  ::GetWindowRect(form, &outer);
  ::GetClientRect(form, &client);
  const int height = outer.bottom - outer.top;
  const int penWidth = GradientPenWidth(height);
  for (int i = 0; i <= height / penWidth; ++i) {
    const GradientColour colour = GradientLineColour(i);
    LOGBRUSH brush{BS_SOLID, RGB(colour.red, colour.green, colour.blue), 0};
    HPEN pen =
        ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, penWidth, &brush, 0, nullptr);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, 0, i * penWidth, nullptr);
    ::LineTo(dc, client.right, i * penWidth);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
  }
}

}  // namespace kv::dialogs::win32
