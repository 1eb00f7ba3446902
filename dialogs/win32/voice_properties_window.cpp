#include "dialogs/win32/voice_properties_window.h"

#include <commctrl.h>

#include <algorithm>

#include "dialogs/logic/voice_properties_tables.h"
#include "dialogs/win32/control_ids.h"
#include "synth/settings_values.h"

namespace kv::dialogs::win32 {

namespace {

RECT R(int x, int y, int width, int height) {
  return {x, y, x + width, y + height};
}

constexpr const char* kPageNames[3] = {"TabSheetVoice", "TabSheetEcho", "TabSheetIntonace"};
constexpr const char* kPageCaptions[3] = {"Hlas", "Echo", "Intonace"};
constexpr VoiceBar kVoicePage[3] = {VoiceBar::Volume, VoiceBar::Speed, VoiceBar::Pith};
constexpr VoiceBar kEchoPage[3] = {VoiceBar::Echo_Volume, VoiceBar::Echo_tracsk,
                                   VoiceBar::Echo_delay};

// The echo page's bars are vertical, their positions negated.
int Sign(VoiceBar bar) {
  return bar == VoiceBar::Echo_Volume || bar == VoiceBar::Echo_delay || bar == VoiceBar::Echo_tracsk
             ? -1
             : 1;
}

int IdOf(VoiceBar bar) {
  return kIdVolume + static_cast<int>(bar);
}

}  // namespace

TFormViceProperties::TFormViceProperties() : FormWindow(kVoicePropertiesFrame) {}

void TFormViceProperties::BuildControls() {
  BuildHeader();
  BuildPages();
  ButtonRekni = Button(Window(), kIdSpeak, kSpeakCaption, R(8, 228, 96, 25));
  // The box has no caption on screen: its text, cut off by its width, is the hint that a
  // screen reader says for it.
  Rikat = CheckBox(Window(), kIdRikat, kSayAgainHint, R(110, 232, 14, 18));
  AddHint(Rikat, kSayAgainHint);
  Button2 = Button(Window(), kIdClose, kCloseCaption, R(180, 228, 75, 25));
  SetTabOrder({ComboBoxVoice, TestovaciText, PageControl, Bars[0], Bars[1], Bars[2], Bars[3],
               Bars[5], Bars[4], Intonace, Intonace_endhacent, Pause, Robotize, ButtonRekni, Rikat,
               Button2});
  AddPlacement(logic_.FormStorage(), kVoicePropertiesFrame.name);
  ::SendMessageW(ComboBoxVoice, CB_SETCURSEL,
                 std::clamp(VoiceIndex, 0, int(std::size(kVoiceNames)) - 1), 0);
  logic_.Start();
}

void TFormViceProperties::BuildHeader() {
  Label(Window(), "Nastavení hlasu :", R(8, 8, 100, 16));
  ComboBoxVoice = Control(Window(), L"COMBOBOX", kIdVoice, L"", R(110, 4, 145, 120),
                          WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
  for (std::string_view voice : kVoiceNames)
    ::SendMessageW(ComboBoxVoice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(voice).c_str()));
  Label(Window(), "Testovací text :", R(8, 34, 100, 16));
  TestovaciText = Control(Window(), L"EDIT", kIdTestText, W(kDefaultTestText), R(110, 30, 145, 22),
                          WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
}

// A caption label, the bar and its value label; the caption comes first, so a screen reader
// names the bar by it.
HWND TFormViceProperties::AddTrackBar(HWND page, const TrackBarRow& row, bool vertical, RECT where,
                                      HWND* valueLabel) {
  RECT caption, value;
  if (vertical) {
    caption = R(where.left - 14, 2, 58, 16);
    value = R(where.left - 14, where.bottom + 1, 58, 16);
  } else {
    caption = R(6, where.top + 8, 54, 16);
    value = R(where.right + 1, where.top + 8, 34, 16);
  }
  Label(page, row.caption, caption, vertical ? SS_CENTER : 0);
  const int id = std::string_view(row.name) == "Pause"      ? kIdPause
                 : std::string_view(row.name) == "Robotize" ? kIdRobotize
                                                            : 0;
  DWORD style = WS_TABSTOP | TBS_AUTOTICKS | (vertical ? TBS_VERT | TBS_RIGHT : TBS_BOTTOM);
  if (row.selEnd > row.selStart || std::string_view(row.name) == "Pith")
    style |= TBS_ENABLESELRANGE;
  HWND bar = Control(page, TRACKBAR_CLASSW, id, W(row.accessibleName), where, style);
  // A vertical bar runs from its minimum at the top: its positions are the values negated, so
  // that the maximum is at the top, where the "Max." caption is.
  const int sign = vertical ? -1 : 1;
  ::SendMessageW(bar, TBM_SETRANGEMIN, FALSE, vertical ? -row.max : row.min);
  ::SendMessageW(bar, TBM_SETRANGEMAX, FALSE, vertical ? -row.min : row.max);
  ::SendMessageW(bar, TBM_SETTICFREQ, row.tickFrequency, 0);
  ::SendMessageW(bar, TBM_SETPAGESIZE, 0, row.tickFrequency);
  ::SendMessageW(bar, TBM_SETPOS, TRUE, sign * row.position);
  if (row.selEnd > row.selStart) {
    ::SendMessageW(bar, TBM_SETSELSTART, FALSE, row.selStart);
    ::SendMessageW(bar, TBM_SETSELEND, TRUE, row.selEnd);
  }
  *valueLabel = Label(page, std::string_view(row.name) == "Pith" ? "X" : "100%", value,
                      vertical ? SS_CENTER : 0);
  return bar;
}

void TFormViceProperties::BuildPages() {
  PageControl = Control(Window(), WC_TABCONTROLW, kIdPages, L"Možnosti hlasu", R(8, 58, 247, 162),
                        WS_TABSTOP | WS_CLIPSIBLINGS);
  for (int i = 0; i < 3; ++i) {
    std::wstring caption = W(kPageCaptions[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    ::SendMessageW(PageControl, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  RECT area = R(0, 0, 247, 162);
  ::SendMessageW(PageControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  ::OffsetRect(&area, 8, 58);
  // The pages lie over the tab control's body.
  for (HWND& page : Pages) {
    page = Page(area);
    ::SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  for (int i = 0; i < 3; ++i) {
    const int bar = static_cast<int>(kVoicePage[i]);
    Bars[bar] = AddTrackBar(Pages[0], kVoicePageBars[i], false, R(60, 4 + 40 * i, 144, 34),
                            &ValueLabels[bar]);
    positions_[bar] = kVoicePageBars[i].position;
  }
  Label(Pages[1], "Max.", R(6, 22, 40, 16));
  Label(Pages[1], "Echo", R(6, 56, 40, 16));
  Label(Pages[1], "Min.", R(6, 92, 40, 16));
  for (int i = 0; i < 3; ++i) {
    const int bar = static_cast<int>(kEchoPage[i]);
    Bars[bar] = AddTrackBar(Pages[1], kEchoPageBars[i], true, R(62 + 60 * i, 20, 30, 90),
                            &ValueLabels[bar]);
    positions_[bar] = kEchoPageBars[i].position;
  }
  for (int i = 0; i < 6; ++i) ::SetWindowLongPtrW(Bars[i], GWLP_ID, IdOf(static_cast<VoiceBar>(i)));
  Intonace = CheckBox(Pages[2], kIdIntonace, "Intonace", R(8, 6, 220, 18));
  Intonace_endhacent =
      CheckBox(Pages[2], kIdIntonaceEnhanced, "Rozšířená intonace", R(8, 28, 220, 18));
  HWND unused;
  Pause = AddTrackBar(Pages[2], kIntonationPageBars[0], false, R(60, 58, 144, 34), &unused);
  Robotize = AddTrackBar(Pages[2], kIntonationPageBars[1], false, R(60, 94, 144, 34), &unused);
  ShowPage(2);
}

void TFormViceProperties::ShowPage(int index) {
  ::SendMessageW(PageControl, TCM_SETCURSEL, index, 0);
  for (int i = 0; i < 3; ++i) ::ShowWindow(Pages[i], i == index ? SW_SHOW : SW_HIDE);
}

void TFormViceProperties::BarMoved(HWND bar) {
  const auto found = std::find(Bars.begin(), Bars.end(), bar);
  if (found == Bars.end()) return;  // the intonation page's bars change nothing
  const int i = static_cast<int>(found - Bars.begin());
  const int position = Position(static_cast<VoiceBar>(i));
  if (position == positions_[i]) return;
  positions_[i] = position;
  logic_.BarChanged(static_cast<VoiceBar>(i));
}

LRESULT TFormViceProperties::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      BarMoved(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->hwndFrom == PageControl &&
          reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(::SendMessageW(PageControl, TCM_GETCURSEL, 0, 0)));
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kIdVoice:
          if (HIWORD(wParam) == CBN_SELCHANGE) logic_.ComboBoxVoiceChange();
          return 0;
        case kIdSpeak:
          logic_.ButtonRekniClick();
          return 0;
        case kIdClose:
          CloseRequested();
          return 0;
        case kIdIntonace:
        case kIdIntonaceEnhanced:
          if (HIWORD(wParam) == BN_CLICKED) logic_.IntonaceClick();
          return 0;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FormWindow::Handle(message, wParam, lParam);
}

void TFormViceProperties::CloseRequested() {
  if (logic_.CloseRequested()) Finish();
}

bool TFormViceProperties::PreviewKey(const MSG& msg) {
  if (msg.wParam != VK_F5) return false;
  if (::IsWindowEnabled(ButtonRekni)) logic_.ButtonRekniClick();
  return true;
}

int TFormViceProperties::SelectedVoice() const {
  return static_cast<int>(::SendMessageW(ComboBoxVoice, CB_GETCURSEL, 0, 0));
}

int TFormViceProperties::Position(VoiceBar bar) const {
  return Sign(bar) *
         static_cast<int>(::SendMessageW(Bars[static_cast<int>(bar)], TBM_GETPOS, 0, 0));
}

void TFormViceProperties::SetPosition(VoiceBar bar, int position) {
  ::SendMessageW(Bars[static_cast<int>(bar)], TBM_SETPOS, TRUE, Sign(bar) * position);
  BarMoved(Bars[static_cast<int>(bar)]);
}

bool TFormViceProperties::Checked(VoiceCheck box) const {
  HWND control = box == VoiceCheck::Intonace             ? Intonace
                 : box == VoiceCheck::Intonace_endhacent ? Intonace_endhacent
                                                         : Rikat;
  return ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TFormViceProperties::SetChecked(VoiceCheck box, bool checked) {
  HWND control = box == VoiceCheck::Intonace             ? Intonace
                 : box == VoiceCheck::Intonace_endhacent ? Intonace_endhacent
                                                         : Rikat;
  ::SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TFormViceProperties::SetPitchBand(int start, int end) {
  HWND pitch = Bars[static_cast<int>(VoiceBar::Pith)];
  ::SendMessageW(pitch, TBM_SETSELSTART, FALSE, start);
  ::SendMessageW(pitch, TBM_SETSELEND, TRUE, end);
}

void TFormViceProperties::ShowValue(VoiceBar bar, const std::string& text) {
  SetLabelText(ValueLabels[static_cast<int>(bar)], text);
}

std::u16string TFormViceProperties::TestText() const {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(TestovaciText)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(TestovaciText, text.data(), int(text.size()))));
  return U16(text);
}

void TFormViceProperties::SetTestText(const std::u16string& text) {
  ::SetWindowTextW(TestovaciText, W(text).c_str());
}

std::string TFormViceProperties::ActivePage() const {
  const auto index = ::SendMessageW(PageControl, TCM_GETCURSEL, 0, 0);
  return index >= 0 && index < 3 ? kPageNames[index] : kPageNames[2];
}

void TFormViceProperties::SetActivePage(const std::string& name) {
  for (int i = 0; i < 3; ++i)
    if (name == kPageNames[i]) ShowPage(i);
}

}  // namespace kv::dialogs::win32
