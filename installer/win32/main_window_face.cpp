// The installer window as the logic's face: what the logic tells it, shown in the controls.
// The window's header brings the Windows headers that the common controls' header needs.
// clang-format off
#include "installer/win32/main_window.h"
#include <commctrl.h>
// clang-format on

#include <fstream>
#include <iterator>

#include "dialogs/logic/dictionary_editor_logic.h"
#include "dialogs/logic/voice_properties_logic.h"
#include "dialogs/win32/win32_forms.h"
#include "installer/wave_outline.h"
#include "installer/win32/html_text.h"
#include "installer/win32/pictures.h"
#include "installer/win32/window_parts.h"
#include "synth/memory_stream.h"

namespace kv::installer {
namespace fs = std::filesystem;

using namespace window_parts;

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
  // The tabs lie below the pages, last in the Tab cycle: the cycle starts at them.
  if (::GetFocus() == nullptr || ::GetFocus() == Handle()) ::SetFocus(PageControl1);
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

void TInstallerWindow::OpenDictionaryEditor(const fs::path& dictionary) {
  // The dictionary beside the installed engine, as the Qt window gives it.
  dialogs::DictionaryFileName = dictionary;
  ShowForm(int(dialogs::DialogForm::DictionaryEditor));
}

void TInstallerWindow::OpenVoiceProperties() {
  dialogs::VoiceIndex = 0;
  ShowForm(int(dialogs::DialogForm::VoiceProperties));
}

}  // namespace kv::installer
