// The installer's window in Win32 controls (the common controls' tab control, list view and
// tooltips): the controls of the main form, laid out in its client size, with its captions
// and hints. What the window does is MainFormLogic's; this class holds the controls.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "installer/logic/main_form_logic.h"
#include "installer/win32/agent_port_win32.h"
#include "platform/win32/windows_api.h"

namespace kv::installer {

class TInstallerWindow : public MainFormFace {
 public:
  TInstallerWindow();
  ~TInstallerWindow() override;

  // Creates and shows the window; false when it cannot be made.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return window_; }
  // Shows page index (0..3) as if the user had chosen its tab.
  void SelectPage(int index);
  int PageCount() const { return 4; }

  // MainFormFace.
  void SetStatusTts(const std::string& text, bool now) override;
  void SetStatusRekniTo(const std::string& text, bool now) override;
  void SetInstallBoxEnabled(bool enabled) override;
  bool InstallBoxEnabled() const override;
  void SetInstallBoxChecked(bool checked) override;
  bool InstallBoxChecked() const override;
  void SetPrectiToEnabled(bool enabled) override;
  void SetPrectiToChecked(bool checked) override;
  bool PrectiToChecked() const override;
  void SetSpeakBox(bool checked) override;
  bool SpeakBoxChecked() const override;
  void SetLibraryHint(const std::string& hint) override;
  void SetVersionMessage(const std::string& text) override;
  void ShowInstallerPage() override;
  void SetEngineRows(const std::vector<EngineRow>& rows) override;
  void SetEngineDetails(const std::string& name, const std::string& clsid) override;
  void SetTestText(const std::string& text) override;
  std::string TestText() const override;
  void SetAgentButtonCaption(const std::string& caption) override;
  std::string AgentButtonCaption() const override;
  void SetUninitEnabled(bool enabled) override;
  void StopStartTimer() override;
  void StartStartTimer(int milliseconds) override;
  void StartPosTimer() override;
  void PlayAnimation(int player) override;
  void SetBusyCursor(bool busy) override;
  void EnablePagesAndOk() override;
  void SetSpokenWord(const std::string& text) override;
  void SetWaveShown(bool shown) override;
  void DrawWave(const MemoryStream& wave) override;
  bool InfoPageActive() const override;
  void ShowInfoPage(const std::filesystem::path& file) override;
  void OpenDictionaryEditor(const std::filesystem::path& dictionary) override;
  void OpenVoiceProperties() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void OnCommand(int id, int code);
  void OnNotify(const NMHDR& header);
  void OnTimer(UINT_PTR id);
  LRESULT ControlColours(HWND control, HDC dc);

  HWND Add(const wchar_t* kind, const std::string& text, DWORD style, int x, int y, int w, int h,
           int id, HWND parent, const std::string& hint = {});
  void CreateControls();
  void CreateInstallerPage(HWND page);
  void CreateSwitcherPage(HWND page);
  void CreateTestPage(HWND page);
  void CreateInfoPage(HWND page);
  HWND CreatePage(const std::string& caption);
  void ShowForm(int form);
  void LoadPlacement();
  void SavePlacement();

  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HBITMAP picture_ = nullptr;
  HBITMAP wave_ = nullptr;
  HBITMAP gradient_ = nullptr;
  HBRUSH gradientBrush_ = nullptr;
  std::vector<HWND> pages_;
  bool fillingList_ = false;
  bool busy_ = false;
  std::wstring hint_;
  std::filesystem::path infoFile_;

 public:
  // Controls, named as the form names them.
  HWND ST = nullptr, LL = nullptr, LabelInfo = nullptr, Image1 = nullptr, Animate1 = nullptr,
       Animate2 = nullptr, ButtonOk = nullptr, Rikat = nullptr, PageControl1 = nullptr;
  HWND TTS_KORVEN_INSTALED = nullptr, Precti_to = nullptr, Status_tts = nullptr,
       Status_Rekni_to = nullptr, TestMSAgent = nullptr, IM = nullptr, URLLabel1 = nullptr,
       D = nullptr;
  HWND CheckListBox1 = nullptr, LSEIN = nullptr, LSEIC = nullptr;
  HWND Memo1 = nullptr, Button4 = nullptr, ButtonSlovnik = nullptr, ButtonProperties = nullptr,
       ButtonUninit = nullptr, Button2 = nullptr, Button5 = nullptr;
  HWND WebBrowser1 = nullptr, OpenInBrowser = nullptr;

  TComAgentPort Agent;
  MainFormLogic Logic;
};

}  // namespace kv::installer
