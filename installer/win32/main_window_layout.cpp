// The installer window's controls: where each lies, its caption and hint, in Tab order.
// The window's header brings the Windows headers that the common controls' header needs.
// clang-format off
#include "installer/win32/main_window.h"
#include <commctrl.h>
// clang-format on

#include "installer/installer_texts.h"
#include "installer/win32/pictures.h"
#include "installer/win32/window_parts.h"

namespace kv::installer {

using namespace window_parts;

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
  // Below the pages, which paint over its display area.
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

}  // namespace kv::installer
