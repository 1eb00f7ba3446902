// The agent form " KORVEN MS Agent & TTS control": connects to the character layer, loads the
// character, lets the user choose character, voice and animation, and keeps the character on
// the edge of the active window. Created by the agent's command interpreter on first use.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "agent/active_follower.h"
#include "agent/character_layer.h"
#include "platform/message_loop.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace kv::dialogs {
class TFormSlovnik;
class TFormViceProperties;
}  // namespace kv::dialogs

namespace kv::installer {

class TFormMSAgentu : public QWidget {
 public:
  TFormMSAgentu();
  ~TFormMSAgentu() override;

  bool LoadCharacter(const std::string& name);  // name empty: the stored "Character"
  // The character answers (its width, the liveness probe).
  bool CharacterAlive() const;
  void Agent1Command(const std::string& command);
  void ShowAgentProperties(int button);
  // One step of following the active window; at once: without waiting for it to stand still.
  void TimerPosTimer(bool atOnce = false);
  void ButtonSlovnikClick();
  void ButtonVoicePropetiesClick();
  void ButtonRekniClick();
  // Shutting down: unloads the character and disconnects (the form is freed by the caller).
  void Shutdown();

  std::unique_ptr<agent::AgentControl> Agent;
  agent::AgentCharacter* Character = nullptr;
  std::string CharacterId, AgentKey;  // Windows-1250
  bool Armed = false, InitDone = false, ShuttingDown = false;
  agent::ActiveFollower Follower;
  platform::WindowTimer TimerPos, TimerInit;

  QLabel* Status;
  QComboBox *MSAgentNames, *HlasNames, *AnimNames;
  QListWidget* HlasIds;
  QPushButton *Button1, *Button2, *ButtonSlovnik, *ButtonVoicePropeties, *ButtonRekni, *Zavrit;
  QPlainTextEdit* EditTestovacihoTextu;
  QCheckBox* Rikat;

 protected:
  void paintEvent(QPaintEvent*) override;
  void showEvent(QShowEvent*) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateControls();
  void ConnectHandlers();
  void ReadPlacement();
  void WritePlacement();
  void TimerInitTimer();
  void FillVoices(const std::string& voice);
  void FillCharacters(const std::string& character);
  void MSAgentNamesChange();
  void HlasNamesChange();
  void AnimNamesChange();
  void FormDeactivate();
  void StoreString(std::string_view name, const std::string& value);
  std::string StoredString(std::string_view name);

  bool testTextEdited_ = false;
  dialogs::TFormSlovnik* slovnik_ = nullptr;
  dialogs::TFormViceProperties* properties_ = nullptr;
};

}  // namespace kv::installer
