#include "installer/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <iterator>

#include "dialogs/win32/win32_forms.h"
#include "installer/installer_texts.h"
#include "installer/payload.h"
#include "installer/wave_outline.h"
#include "installer/win32/html_text.h"
#include "installer/win32/pictures.h"
#include "platform/numeric.h"
#include "platform/registry.h"
#include "synth/memory_stream.h"
#include "synth/own_voice.h"

namespace kv::installer {
namespace fs = std::filesystem;

namespace {

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

std::wstring W(const std::string& cp1250) {
  return win32::WideFromCp1250(cp1250);
}

std::string TextOf(HWND control) {
  std::wstring text(size_t(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(size_t(::GetWindowTextW(control, text.data(), int(text.size()))));
  return win32::Cp1250FromWide(text);
}

// The edit control's CR LF line breaks are the form's "\n" (as the other face's memo gives).
std::string FromEditText(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

std::string ToEditText(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

void SetChecked(HWND box, bool checked) {
  ::SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND box) {
  return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

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

HWND TInstallerWindow::Add(const wchar_t* kind, const std::string& text, DWORD style, int x, int y,
                           int w, int h, int id, HWND parent, const std::string& hint) {
  HWND control =
      ::CreateWindowExW(0, kind, W(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                        reinterpret_cast<HMENU>(INT_PTR(id)), instance_, nullptr);
  ::SendMessageW(control, WM_SETFONT, WPARAM(font_), TRUE);
  if (!hint.empty()) {
    const std::wstring tip = W(hint);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = UINT_PTR(control);
    tool.lpszText = const_cast<wchar_t*>(tip.c_str());
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
  }
  return control;
}

HWND TInstallerWindow::CreatePage(const std::string& caption) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  std::wstring text = W(caption);
  item.pszText = text.data();
  ::SendMessageW(PageControl1, TCM_INSERTITEMW, pages_.size(), LPARAM(&item));
  RECT area{72, 64, 72 + 398, 64 + 216};
  ::SendMessageW(PageControl1, TCM_ADJUSTRECT, FALSE, LPARAM(&area));
  HWND page = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS,
                                area.left, area.top, area.right - area.left, area.bottom - area.top,
                                window_, nullptr, instance_, this);
  pages_.push_back(page);
  return page;
}

void TInstallerWindow::CreateControls() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_ = ::CreateFontIndirectW(&metrics.lfMessageFont);
  LOGFONTW bold = metrics.lfMessageFont;
  bold.lfWeight = FW_BOLD;
  boldFont_ = ::CreateFontIndirectW(&bold);
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                               0, 0, 0, window_, nullptr, instance_, nullptr);
  ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);

  picture_ = LoadResourcePicture("AVI", "APPLICATION");
  Image1 = Add(L"STATIC", "", SS_BITMAP, 0, 0, 64, 64, 0, window_);
  if (picture_) ::SendMessageW(Image1, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(picture_));
  Animate1 = Add(L"STATIC", "", SS_BITMAP, 4, 70, 64, 64, 0, window_);
  Animate2 = Add(L"STATIC", "", SS_BITMAP, 4, 140, 64, 64, 0, window_);
  ST = Add(L"STATIC", "><", SS_LEFT | SS_NOPREFIX, 72, 4, 300, 16, 0, window_);
  ::SendMessageW(ST, WM_SETFONT, WPARAM(boldFont_), TRUE);
  LL = Add(L"STATIC", "*", SS_LEFT | SS_NOTIFY, 458, 4, 12, 16, kIdLL, window_);
  LabelInfo = Add(L"STATIC", "", SS_LEFT | SS_NOPREFIX, 72, 20, 398, 44, 0, window_);
  PageControl1 =
      Add(WC_TABCONTROLW, "", WS_TABSTOP | WS_CLIPSIBLINGS, 72, 64, 398, 216, kIdTabs, window_);
  CreateInstallerPage(CreatePage(Cp("Instalátor")));
  CreateSwitcherPage(CreatePage(Cp("(de)aktivátor")));
  CreateTestPage(CreatePage("Test"));
  CreateInfoPage(CreatePage("Info"));
  Rikat = Add(L"BUTTON", Cp("Použít hlasové vysvětlivky "), BS_AUTOCHECKBOX | WS_TABSTOP, 72, 286,
              300, 20, kIdRikat, window_, Cp("Použít hlasové vysvětlivky tohoto okna?"));
  ButtonOk = Add(L"BUTTON", "Ok", BS_PUSHBUTTON | WS_TABSTOP, 400, 284, 70, 24, kIdOk, window_,
                 Cp("Ukončit program?"));
  ::EnableWindow(ButtonOk, FALSE);
  ::EnableWindow(PageControl1, FALSE);
  for (HWND page : pages_) ::EnableWindow(page, FALSE);
  ::SetWindowPos(PageControl1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::ShowWindow(pages_[0], SW_SHOW);
}

void TInstallerWindow::CreateInstallerPage(HWND page) {
  TTS_KORVEN_INSTALED = Add(L"BUTTON", Cp("Nainstalovat hlasový systém KORVEN (TTS SAPI 4.0)"),
                            BS_AUTOCHECKBOX | WS_TABSTOP, 6, 6, 380, 20, kIdInstall, page,
                            Cp("Nainstalovat český hlasový engin DAVLA KORVEN."));
  ::EnableWindow(TTS_KORVEN_INSTALED, FALSE);
  Precti_to = Add(L"BUTTON", Cp("Nainstalovat pravé tlačístko v exploreru \"Přečti to!\""),
                  BS_AUTOCHECKBOX | WS_TABSTOP, 6, 28, 380, 20, kIdPrectiTo, page,
                  Cp("Aktivovat položku \"Přečti to!\" na pravé tlačítko myšky v Microsoft "
                     "exploreru. \r\n(Jen s nainstalovanou technologií MS Agent)."));
  ::EnableWindow(Precti_to, FALSE);
  Add(L"STATIC", "Status:", SS_LEFT, 6, 54, 50, 16, 0, page);
  Status_tts = Add(L"STATIC", "init", SS_LEFT | SS_NOPREFIX, 60, 54, 320, 16, 0, page);
  Add(L"STATIC", "Status:", SS_LEFT, 6, 72, 50, 16, 0, page);
  Status_Rekni_to = Add(L"STATIC", "init", SS_LEFT | SS_NOPREFIX, 60, 72, 320, 16, 0, page);
  TestMSAgent = Add(L"BUTTON", "Test MSAgent", BS_PUSHBUTTON | WS_TABSTOP, 6, 94, 110, 24,
                    kIdTestMSAgent, page);
  IM = Add(L"STATIC", "", SS_BITMAP, 6, 124, 301, 56, 0, page);
  ::ShowWindow(IM, SW_HIDE);
  URLLabel1 = Add(L"STATIC", "www.korven.cz", SS_LEFT | SS_NOTIFY, 6, 140, 200, 16, kIdUrl, page);
  D = Add(L"STATIC", "", SS_LEFT, 320, 164, 64, 16, 0, page);
}

void TInstallerWindow::CreateSwitcherPage(HWND page) {
  Add(L"STATIC", Cp("Doporučujeme aktivovat pouze jeden z enginů :"), SS_CENTER, 6, 4, 380, 16, 0,
      page);
  CheckListBox1 = Add(
      WC_LISTVIEWW, "",
      LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
      6, 24, 380, 120, kIdEngines, page);
  ::SendMessageW(CheckListBox1, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = 356;
  ::SendMessageW(CheckListBox1, LVM_INSERTCOLUMNW, 0, LPARAM(&column));
  LSEIN =
      Add(L"STATIC", "Registry internal Name : ", SS_LEFT | SS_NOPREFIX, 6, 148, 380, 16, 0, page);
  LSEIC = Add(L"STATIC", "CLSID : ", SS_LEFT | SS_NOPREFIX, 6, 166, 380, 16, 0, page);
}

void TInstallerWindow::CreateTestPage(HWND page) {
  Memo1 =
      Add(L"EDIT", ToEditText(Cp("Testovací text 1, 2, 3.\nAktuální verze TTS je \nwww.korven.cz")),
          ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 6, 6,
          200, 150, kIdMemo, page);
  Button4 =
      Add(L"BUTTON", Cp("Řekni to hlasem v instalátoru"), BS_PUSHBUTTON | WS_TABSTOP, 6, 160, 200,
          24, kIdButton4, page, Cp("Hlas zabudovaný v tomto programu (KV_TTS_INSTALL.EXE)"));
  Add(L"BUTTON", "TTS", BS_GROUPBOX, 212, 2, 174, 56, 0, page);
  ButtonSlovnik =
      Add(L"BUTTON", Cp("Slovník"), BS_PUSHBUTTON | WS_TABSTOP, 218, 24, 78, 26, kIdSlovnik, page);
  ButtonProperties = Add(L"BUTTON", "Properties", BS_PUSHBUTTON | WS_TABSTOP, 302, 24, 78, 26,
                         kIdProperties, page);
  Add(L"BUTTON", "Microsoft Agent", BS_GROUPBOX, 212, 62, 174, 120, 0, page);
  ButtonUninit =
      Add(L"BUTTON", "U n i n i t", BS_PUSHBUTTON | WS_TABSTOP, 218, 84, 162, 26, kIdUninit, page);
  ::EnableWindow(ButtonUninit, FALSE);
  Button2 = Add(L"BUTTON", Cp("Řekni"), BS_PUSHBUTTON | WS_TABSTOP, 218, 114, 162, 26, kIdButton2,
                page, Cp("Test MS Agent (pouze je-li nainstalován)"));
  Button5 =
      Add(L"BUTTON", "Properties", BS_PUSHBUTTON | WS_TABSTOP, 218, 144, 162, 26, kIdButton5, page);
}

void TInstallerWindow::CreateInfoPage(HWND page) {
  RECT area;
  ::GetClientRect(page, &area);
  WebBrowser1 =
      Add(L"EDIT", "",
          ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, 0,
          area.right, area.bottom - 20, 0, page);
  OpenInBrowser = Add(L"BUTTON", Cp("Otevřít v prohlížeči"), BS_PUSHBUTTON | WS_TABSTOP,
                      area.right - 140, area.bottom - 19, 140, 19, kIdOpenInBrowser, page);
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

void TInstallerWindow::SetStatusTts(const std::string& text, bool now) {
  ::SetWindowTextW(Status_tts, W(text).c_str());
  if (now) ::UpdateWindow(Status_tts);
}

void TInstallerWindow::SetStatusRekniTo(const std::string& text, bool now) {
  ::SetWindowTextW(Status_Rekni_to, W(text).c_str());
  if (now) ::UpdateWindow(Status_Rekni_to);
}

void TInstallerWindow::SetInstallBoxEnabled(bool enabled) {
  ::EnableWindow(TTS_KORVEN_INSTALED, enabled);
}

bool TInstallerWindow::InstallBoxEnabled() const {
  return ::IsWindowEnabled(TTS_KORVEN_INSTALED);
}

void TInstallerWindow::SetInstallBoxChecked(bool checked) {
  SetChecked(TTS_KORVEN_INSTALED, checked);
}

bool TInstallerWindow::InstallBoxChecked() const {
  return Checked(TTS_KORVEN_INSTALED);
}

void TInstallerWindow::SetPrectiToEnabled(bool enabled) {
  ::EnableWindow(Precti_to, enabled);
}

void TInstallerWindow::SetPrectiToChecked(bool checked) {
  SetChecked(Precti_to, checked);
}

bool TInstallerWindow::PrectiToChecked() const {
  return Checked(Precti_to);
}

void TInstallerWindow::SetSpeakBox(bool checked) {
  if (Checked(Rikat) == checked) return;
  SetChecked(Rikat, checked);
  Logic.RikatClick();
}

bool TInstallerWindow::SpeakBoxChecked() const {
  return Checked(Rikat);
}

void TInstallerWindow::SetLibraryHint(const std::string& hint) {
  hint_ = W(hint);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = UINT_PTR(LL);
  tool.lpszText = hint_.data();
  ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, LPARAM(&tool));
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
}

void TInstallerWindow::SetVersionMessage(const std::string& text) {
  // The paragraphs one line apart would not fit: one line break between them.
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\r') {
      shown += "\r\n";
      ++i;
      while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
      continue;
    }
    shown += text[i] == '\r' ? std::string("\r\n") : std::string(1, text[i]);
  }
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  ::SetWindowTextW(LabelInfo, W(shown).c_str());
}

void TInstallerWindow::ShowInstallerPage() {
  SelectPage(0);
}

void TInstallerWindow::SetEngineRows(const std::vector<EngineRow>& rows) {
  fillingList_ = true;
  ::SendMessageW(CheckListBox1, LVM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < rows.size(); ++i) {
    std::wstring text = W(rows[i].display);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = int(i);
    item.pszText = text.data();
    const int at = int(::SendMessageW(CheckListBox1, LVM_INSERTITEMW, 0, LPARAM(&item)));
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(rows[i].active ? 2 : 1);
    ::SendMessageW(CheckListBox1, LVM_SETITEMSTATE, WPARAM(at), LPARAM(&state));
  }
  fillingList_ = false;
}

void TInstallerWindow::SetEngineDetails(const std::string& name, const std::string& clsid) {
  ::SetWindowTextW(LSEIN, W(name).c_str());
  ::SetWindowTextW(LSEIC, W(clsid).c_str());
}

void TInstallerWindow::SetTestText(const std::string& text) {
  ::SetWindowTextW(Memo1, W(ToEditText(text)).c_str());
}

std::string TInstallerWindow::TestText() const {
  return FromEditText(TextOf(Memo1));
}

void TInstallerWindow::SetAgentButtonCaption(const std::string& caption) {
  ::SetWindowTextW(TestMSAgent, W(caption).c_str());
}

std::string TInstallerWindow::AgentButtonCaption() const {
  return TextOf(TestMSAgent);
}

void TInstallerWindow::SetUninitEnabled(bool enabled) {
  ::EnableWindow(ButtonUninit, enabled);
}

void TInstallerWindow::StopStartTimer() {
  ::KillTimer(window_, kTimer1);
}

void TInstallerWindow::StartStartTimer(int milliseconds) {
  ::SetTimer(window_, kTimer1, UINT(milliseconds), nullptr);
}

void TInstallerWindow::StartPosTimer() {
  ::SetTimer(window_, kPosTimer, 500, nullptr);
}

void TInstallerWindow::PlayAnimation(int player) {
  // The picture stands for the animation's last frame.
  if (picture_)
    ::SendMessageW(player == 1 ? Animate1 : Animate2, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(picture_));
}

void TInstallerWindow::SetBusyCursor(bool busy) {
  busy_ = busy;
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void TInstallerWindow::EnablePagesAndOk() {
  ::EnableWindow(PageControl1, TRUE);
  for (HWND page : pages_) ::EnableWindow(page, TRUE);
  ::EnableWindow(ButtonOk, TRUE);
}

void TInstallerWindow::SetSpokenWord(const std::string& text) {
  ::SetWindowTextW(ST, W(text).c_str());
}

void TInstallerWindow::SetWaveShown(bool shown) {
  ::ShowWindow(IM, shown ? SW_SHOW : SW_HIDE);
  ::ShowWindow(URLLabel1, shown ? SW_HIDE : SW_SHOW);
}

void TInstallerWindow::DrawWave(const MemoryStream& wave) {
  const HBITMAP old = wave_;
  wave_ = WavePicture(WaveOutline(wave.Bytes(), 301, 56), 301, 56);
  ::SendMessageW(IM, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(wave_));
  if (old != nullptr) ::DeleteObject(old);
}

bool TInstallerWindow::InfoPageActive() const {
  return ::SendMessageW(PageControl1, TCM_GETCURSEL, 0, 0) == 3;
}

void TInstallerWindow::ShowInfoPage(const fs::path& file) {
  infoFile_ = file;
  std::string page;
  if (!file.empty()) {
    std::ifstream in(file, std::ios::binary);
    page.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  ::SetWindowTextW(WebBrowser1, W(ToEditText(HtmlText(page))).c_str());
}

void TInstallerWindow::ShowForm(int form) {
  dialogs::win32::FormRequest request;
  request.form = dialogs::DialogForm(form);
  request.parent = window_;
  request.onSay = [this](const std::string& text) {
    // SayThroughAgent: the agent is started first, then speaks the test text.
    if (!Agent.CharacterLoaded()) {
      Agent.SetEnabled(true);
      Agent.Command({""});
    }
    Agent.Command({"STOPALL", "AF", text});
  };
  dialogs::win32::ShowForm(request);
}

void TInstallerWindow::OpenDictionaryEditor(const fs::path&) {
  // The engine's forms edit the dictionary beside the installed engine, the one given here.
  ShowForm(int(dialogs::DialogForm::DictionaryEditor));
}

void TInstallerWindow::OpenVoiceProperties() {
  ShowForm(int(dialogs::DialogForm::VoiceProperties));
}

}  // namespace kv::installer
