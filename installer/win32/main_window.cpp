#include "installer/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "installer/payload.h"
#include "installer/win32/pictures.h"
#include "installer/win32/window_parts.h"
#include "platform/numeric.h"
#include "platform/registry.h"

namespace kv::installer {

using namespace window_parts;

namespace {

TInstallerWindow* WindowOf(HWND window) {
  return reinterpret_cast<TInstallerWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

TInstallerWindow::TInstallerWindow() : Logic(*this, Agent) {}

TInstallerWindow::~TInstallerWindow() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  if (font_ != nullptr) ::DeleteObject(font_);
  if (boldFont_ != nullptr) ::DeleteObject(boldFont_);
  if (picture_ != nullptr) ::DeleteObject(picture_);
  if (wave_ != nullptr) ::DeleteObject(wave_);
  if (gradientBrush_ != nullptr) ::DeleteObject(gradientBrush_);
  if (gradient_ != nullptr) ::DeleteObject(gradient_);
}

bool TInstallerWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.lpfnWndProc = WindowProc;
  main.hInstance = instance;
  main.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  main.hbrBackground = ::GetSysColorBrush(COLOR_MENU);
  main.lpszClassName = kWindowClass;
  main.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  WNDCLASSEXW page = main;
  page.lpfnWndProc = PageProc;
  page.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  page.lpszClassName = kPageClass;
  ::RegisterClassExW(&main);
  ::RegisterClassExW(&page);

  // FormCreate: a dialog border around the client size, centred on the screen.
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  window_ = ::CreateWindowExW(
      WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kWindowClass, W(MainFormLogic::Caption()).c_str(),
      style, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, (::GetSystemMetrics(SM_CYSCREEN) - h) / 2,
      w, h, nullptr, nullptr, instance, this);
  if (window_ == nullptr) return false;
  gradient_ = GradientPicture(kClientWidth, kClientHeight, h);
  gradientBrush_ = ::CreatePatternBrush(gradient_);
  CreateControls();
  LoadPlacement();
  ::SetWindowTextW(D, std::to_wstring(MainFormLogic::TodayNumber()).c_str());
  SetExtractionFailureSignal([] { ::MessageBeep(0); });
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
  ::SetTimer(window_, kTimer1, 100, nullptr);
  ::SetTimer(window_, kPosTimer, 500, nullptr);
  Logic.PageControl1Change();  // FormActivate
  return true;
}

void TInstallerWindow::LoadPlacement() {
  platform::Registry reg(platform::HKEY_CURRENT_USER);
  if (!reg.OpenKey(kStorageKey, false)) return;
  RECT frame;
  ::GetWindowRect(window_, &frame);
  auto number = [&reg](const char* name, int fallback) {
    const std::string text = reg.ValueExists(name) ? reg.ReadString(name) : std::string();
    return text.empty() ? fallback : StrToIntLenient(text);
  };
  ::SetWindowPos(window_, nullptr, number("Form_tts_Install_Left", frame.left),
                 number("Form_tts_Install_Top", frame.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int page = number("PageControl1_ActivePage", 0);
  if (page > 0 && page < PageCount()) SelectPage(page);
}

void TInstallerWindow::SavePlacement() {
  RECT frame;
  ::GetWindowRect(window_, &frame);
  try {
    platform::Registry reg(platform::HKEY_CURRENT_USER);
    if (!reg.OpenKey(kStorageKey, true)) return;
    reg.WriteString("Form_tts_Install_Left", std::to_string(frame.left));
    reg.WriteString("Form_tts_Install_Top", std::to_string(frame.top));
    reg.WriteString("PageControl1_ActivePage",
                    std::to_string(::SendMessageW(PageControl1, TCM_GETCURSEL, 0, 0)));
    reg.WriteString("FormVersion", "0");
  } catch (const platform::ERegistryException&) {
    // The next start opens where the system puts it.
  }
}

void TInstallerWindow::SelectPage(int index) {
  ::SendMessageW(PageControl1, TCM_SETCURSEL, WPARAM(index), 0);
  for (size_t i = 0; i < pages_.size(); ++i)
    ::ShowWindow(pages_[i], int(i) == index ? SW_SHOW : SW_HIDE);
  Logic.PageControl1Change();
}

LRESULT CALLBACK TInstallerWindow::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<TInstallerWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(self));
    self->window_ = window;
  }
  TInstallerWindow* self = WindowOf(window);
  if (self == nullptr || self->window_ != window) return ::DefWindowProcW(window, message, w, l);
  return self->Handle(message, w, l);
}

// The pages hand their controls' notifications to the window.
LRESULT CALLBACK TInstallerWindow::PageProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE)
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
  TInstallerWindow* self = WindowOf(window);
  if (self != nullptr &&
      (message == WM_COMMAND || message == WM_NOTIFY || message == WM_CTLCOLORSTATIC))
    return self->Handle(message, w, l);
  return ::DefWindowProcW(window, message, w, l);
}

LRESULT TInstallerWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(w), HIWORD(w));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(l));
      return 0;
    case WM_TIMER:
      OnTimer(w);
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(window_, &client);
      ::FillRect(reinterpret_cast<HDC>(w), &client, gradientBrush_);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      return ControlColours(reinterpret_cast<HWND>(l), reinterpret_cast<HDC>(w));
    case WM_SETCURSOR:
      if (busy_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      SavePlacement();
      Logic.FormDestroy();
      ::DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window_, message, w, l);
}

// The window's own labels and its check box lie on the gradient; those of the pages on the
// pages' colour.
LRESULT TInstallerWindow::ControlColours(HWND control, HDC dc) {
  if (control == WebBrowser1) {
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    return LRESULT(::GetSysColorBrush(COLOR_WINDOW));
  }
  if (control == URLLabel1) ::SetTextColor(dc, RGB(0, 0, 255));
  if (::GetParent(control) != window_) {
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return LRESULT(::GetSysColorBrush(COLOR_BTNFACE));
  }
  // Navy: aqua, as the word was once drawn, would vanish into the gradient's cyan top.
  if (control == ST) ::SetTextColor(dc, RGB(0, 0, 128));
  RECT place;
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
  ::SetBrushOrgEx(dc, -place.left, -place.top, nullptr);
  ::SetBkMode(dc, TRANSPARENT);
  return LRESULT(gradientBrush_);
}

void TInstallerWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED && code != STN_CLICKED) return;
  switch (id) {
    case kIdOk:
      ::PostMessageW(window_, WM_CLOSE, 0, 0);
      break;
    case kIdRikat:
      Logic.RikatClick();
      break;
    case kIdLL:
      Logic.LLClick();
      break;
    case kIdInstall:
      Logic.TTS_KORVEN_INSTALEDClick();
      break;
    case kIdPrectiTo:
      Logic.Precti_toClick();
      break;
    case kIdTestMSAgent:
      Logic.TestMSAgentClick();
      break;
    case kIdButton4:
      Logic.Button4Click();
      break;
    case kIdButton2:
      Logic.Button2Click();
      break;
    case kIdButton5:
      Logic.Button5Click();
      break;
    case kIdUninit:
      Logic.ButtonUninitClick();
      break;
    case kIdSlovnik:
      Logic.ButtonSlovnikClick();
      break;
    case kIdProperties:
      Logic.ButtonPropertiesClick();
      break;
    case kIdUrl:
      ::ShellExecuteW(window_, L"open", kWebAddress, nullptr, nullptr, SW_SHOWNORMAL);
      break;
    case kIdOpenInBrowser:
      if (!infoFile_.empty())
        ::ShellExecuteW(window_, L"open", infoFile_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      break;
  }
}

void TInstallerWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == kIdTabs && header.code == TCN_SELCHANGE) {
    SelectPage(int(::SendMessageW(PageControl1, TCM_GETCURSEL, 0, 0)));
    return;
  }
  if (header.idFrom != kIdEngines || header.code != LVN_ITEMCHANGED || fillingList_) return;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if (!(change.uChanged & LVIF_STATE)) return;
  if ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)
    Logic.CheckListBox1ClickCheck(
        change.iItem, (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
  if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
    Logic.CheckListBox1Click(change.iItem);
}

void TInstallerWindow::OnTimer(UINT_PTR id) {
  if (id == kTimer1) Logic.Timer1Timer();
  if (id == kPosTimer) Logic.PosTimerTimer();
}

}  // namespace kv::installer
