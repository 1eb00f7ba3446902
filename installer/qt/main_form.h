// The installer's window in Qt: install and remove the engine, switch other engines, the
// "Přečti to!" entry, a test page speaking with the installer's own voice, and an info page.
// What the window does is MainFormLogic's; this class holds the controls.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "installer/logic/main_form_logic.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMovie;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTimer;

namespace kv {
class MemoryStream;
namespace dialogs {
class TFormSlovnik;
class TFormViceProperties;
class TSettingsStorage;
}  // namespace dialogs
}  // namespace kv

namespace kv::installer {

class TForm_tts_Install : public QWidget, public MainFormFace {
 public:
  TForm_tts_Install();
  ~TForm_tts_Install() override;

  // Controls, named as the form names them.
  QLabel* Image1;
  QLabel* ST;
  QLabel* LL;
  QLabel* LabelInfo;
  QLabel* Animate1;
  QLabel* Animate2;
  QPushButton* ButtonOk;
  QCheckBox* Rikat;
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet4;
  QWidget* TabSheetTest;
  QWidget* TabSheet2;
  QCheckBox* TTS_KORVEN_INSTALED;
  QCheckBox* Precti_to;
  QLabel* Status_tts;
  QLabel* Status_Rekni_to;
  QPushButton* TestMSAgent;
  QLabel* IM;
  QLabel* URLLabel1;
  QLabel* D;
  QListWidget* CheckListBox1;
  QLabel* LSEIN;
  QLabel* LSEIC;
  QPlainTextEdit* Memo1;
  QPushButton* Button4;
  QPushButton* ButtonSlovnik;
  QPushButton* ButtonProperties;
  QPushButton* ButtonUninit;
  QPushButton* Button2;
  QPushButton* Button5;
  QTextBrowser* WebBrowser1;
  QTimer* Timer1;
  QTimer* PosTimer;

  // The handlers the controls run, as the form names them; the work is the logic's.
  void Timer1Timer() { Logic.Timer1Timer(); }
  void LLClick() { Logic.LLClick(); }
  void TestMSAgentClick() { Logic.TestMSAgentClick(); }
  static std::filesystem::path InfoPagePath() { return MainFormLogic::InfoPagePath(); }

  // The face's side of the logic (MainFormFace).
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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void CreateInstallerPage();
  void CreateSwitcherPage();
  void CreateTestPage();
  void ConnectHandlers();

  std::unique_ptr<AgentPort> agentPort_;
  std::unique_ptr<dialogs::TSettingsStorage> FormStorage1;
  dialogs::TFormSlovnik* slovnik_ = nullptr;
  dialogs::TFormViceProperties* properties_ = nullptr;

 public:
  MainFormLogic Logic;
};

}  // namespace kv::installer
