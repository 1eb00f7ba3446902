// The installer's window: install and remove the engine, switch other engines, the
// "Přečti to!" entry, a test page speaking with the installer's own voice, and an info page.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "installer/engine_switcher.h"
#include "platform/registry.h"

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

class TForm_tts_Install : public QWidget {
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

  std::filesystem::path EnginePath;
  std::string UserKey;  // Windows-1250
  std::string InstalledVersion;
  bool Ready = false;
  // Whether the runtime was there before the own voice's settings could create its key.
  bool RuntimeAtStart = false;
  int StartTicks = 0;
  // The hidden lists parallel to CheckListBox1: each row's CLSID and internal name.
  std::vector<EngineRow> EngineRows;

  void Timer1Timer();
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
  void CheckListBox1Click();
  void CheckListBox1ClickCheck(QListWidgetItem* item);
  void PageControl1Change();
  void ShowSpeechEvent(const std::string& text, const MemoryStream* wave);
  void DrawWave(const MemoryStream& wave);
  void ListEngines();

  // Where the info page is written (a file in the installer's private temporary folder).
  static std::filesystem::path InfoPagePath();

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
  void PlayAnimation(QLabel* player);
  // The first start-up tick: status, preferences, greeting or the runtime's absence.
  void StartUp();
  void LoadTestMemo();
  void FormDestroy();

  std::unique_ptr<dialogs::TSettingsStorage> FormStorage1;
  dialogs::TFormSlovnik* slovnik_ = nullptr;
  dialogs::TFormViceProperties* properties_ = nullptr;
  std::filesystem::path browserLocation_;
  bool destroyed_ = false;
};

}  // namespace kv::installer
