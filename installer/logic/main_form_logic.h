// What the installer's main window does, without its controls: the start-up ticks, the status
// lines and version message, installing and removing the engine, the "Přečti to!" entry, the
// engine switcher's rows, the test page's buttons and the info page. A face (the Qt window, the
// Win32 window) owns one MainFormLogic, shows what it is told through MainFormFace and runs the
// handlers below from its controls' events. All texts are Windows-1250.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "installer/engine_switcher.h"
#include "installer/logic/agent_port.h"

namespace kv {
class MemoryStream;
}

namespace kv::installer {

// The controls of the main window as the logic sees them. Setting a check box from code never
// runs its handler, except SetSpeakBox (the start-up's "Mluvit" runs RikatClick when it changes
// the box).
class MainFormFace {
 public:
  virtual ~MainFormFace() = default;

  // Status_tts and Status_Rekni_to; now: repainted at once.
  virtual void SetStatusTts(const std::string& text, bool now) = 0;
  virtual void SetStatusRekniTo(const std::string& text, bool now) = 0;
  // TTS_KORVEN_INSTALED. Enabled: the box's own state, whatever its page allows.
  virtual void SetInstallBoxEnabled(bool enabled) = 0;
  virtual bool InstallBoxEnabled() const = 0;
  virtual void SetInstallBoxChecked(bool checked) = 0;
  virtual bool InstallBoxChecked() const = 0;
  // Precti_to.
  virtual void SetPrectiToEnabled(bool enabled) = 0;
  virtual void SetPrectiToChecked(bool checked) = 0;
  virtual bool PrectiToChecked() const = 0;
  // Rikat: through its handler when the state changes.
  virtual void SetSpeakBox(bool checked) = 0;
  virtual bool SpeakBoxChecked() const = 0;
  // LL's hint and LabelInfo (paragraphs separated by CR CR).
  virtual void SetLibraryHint(const std::string& hint) = 0;
  virtual void SetVersionMessage(const std::string& text) = 0;
  virtual void ShowInstallerPage() = 0;
  // CheckListBox1 (rebuilt without running its handlers), LSEIN and LSEIC.
  virtual void SetEngineRows(const std::vector<EngineRow>& rows) = 0;
  virtual void SetEngineDetails(const std::string& name, const std::string& clsid) = 0;
  // Memo1.
  virtual void SetTestText(const std::string& text) = 0;
  virtual std::string TestText() const = 0;
  // TestMSAgent's caption; ButtonUninit.
  virtual void SetAgentButtonCaption(const std::string& caption) = 0;
  virtual std::string AgentButtonCaption() const = 0;
  virtual void SetUninitEnabled(bool enabled) = 0;
  // Timer1 (stopped at each tick, started again with an interval), PosTimer.
  virtual void StopStartTimer() = 0;
  virtual void StartStartTimer(int milliseconds) = 0;
  virtual void StartPosTimer() = 0;
  // Animate1 (1) or Animate2 (2) plays "APPLICATION".
  virtual void PlayAnimation(int player) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // PageControl1 and ButtonOk.
  virtual void EnablePagesAndOk() = 0;
  // ST's text; IM shown (URLLabel1 hidden) or the other way round; IM's picture of a wave.
  virtual void SetSpokenWord(const std::string& text) = 0;
  virtual void SetWaveShown(bool shown) = 0;
  virtual void DrawWave(const MemoryStream& wave) = 0;
  // The info page: whether it is the active page; show the written file (empty: nothing).
  virtual bool InfoPageActive() const = 0;
  virtual void ShowInfoPage(const std::filesystem::path& file) = 0;
  // The two settings forms, each created once and shown modelessly where the face can.
  virtual void OpenDictionaryEditor(const std::filesystem::path& dictionary) = 0;
  virtual void OpenVoiceProperties() = 0;
};

class MainFormLogic {
 public:
  // FormCreate's part: UserKey, and whether the runtime is there before anything of the
  // program touches the registry.
  MainFormLogic(MainFormFace& face, AgentPort& agent);

  // " KORVEN TTS Instalátor - (de)aktivátor Text-To-Speech verze " + the program's version.
  static std::string Caption();
  // Days since 30 December 1899 (local date), D's text.
  static int TodayNumber();
  // Where the info page is written (a file in the installer's private temporary folder).
  static std::filesystem::path InfoPagePath();

  // Handlers, named after the form's.
  void Timer1Timer();
  void PosTimerTimer();
  void UpdateStatus();
  void LLClick();
  void RikatClick();
  void TTS_KORVEN_INSTALEDClick();
  void Precti_toClick();
  void Button4Click();
  void Button2Click();
  void Button5Click();
  void TestMSAgentClick();
  void ButtonUninitClick();
  void ButtonSlovnikClick();
  void ButtonPropertiesClick();
  void CheckListBox1Click(int row);
  void CheckListBox1ClickCheck(int row, bool checked);
  void PageControl1Change();
  void ShowSpeechEvent(const std::string& text, const MemoryStream* wave);
  void ListEngines();
  // Stores the test text and removes the info page; runs once.
  void FormDestroy();

  std::filesystem::path EnginePath;
  std::string UserKey;
  std::string InstalledVersion;
  bool Ready = false;
  bool RuntimeAtStart = false;
  int StartTicks = 0;
  // The hidden lists parallel to CheckListBox1: each row's CLSID and internal name.
  std::vector<EngineRow> EngineRows;

 private:
  void StartUp();
  void LoadTestMemo();

  MainFormFace& face_;
  AgentPort& agent_;
  std::filesystem::path browserLocation_;
  bool destroyed_ = false;
};

}  // namespace kv::installer
