#include "installer/qt/agent_seam.h"

#include "agent/desktop_control.h"
#include "installer/qt/agent_form.h"
#include "synth/own_voice.h"

namespace kv::installer {

bool AgentEnabled = false;
bool AgentAvailable = false;
bool CharacterLoaded = false;
bool AgentFormReady = false;
TFormMSAgentu* AgentForm = nullptr;

namespace {

std::function<std::unique_ptr<agent::AgentControl>()>& Factory() {
  static std::function<std::unique_ptr<agent::AgentControl>()> factory;
  return factory;
}

// The form and a character that answers, or false. A character that stopped answering is
// loaded again from the stored settings, and the command that found it so is dropped.
bool CharacterReady() {
  if (AgentForm == nullptr || !CharacterLoaded) return false;
  if (AgentForm->CharacterAlive()) return true;
  CharacterLoaded = AgentForm->LoadCharacter("");
  return false;
}

}  // namespace

void SetAgentControlFactory(std::function<std::unique_ptr<agent::AgentControl>()> factory) {
  Factory() = std::move(factory);
}

std::unique_ptr<agent::AgentControl> MakeAgentControl() {
  if (Factory()) return Factory()();
  return std::make_unique<agent::DesktopControl>();
}

void AgentCommand(const std::vector<agent::AgentValue>& values) {
  if (AgentEnabled) OwnVoiceActive = false;
  if (!AgentEnabled && !OwnVoiceActive) return;
  if (!OwnVoiceActive && !AgentFormReady) {
    AgentForm = new TFormMSAgentu();
    AgentForm->TimerPos.SetEnabled(true);
  }
  agent::CommandTarget target;
  target.ownVoiceActive = OwnVoiceActive;
  target.sayOwn = [](const std::string& text) { SayOwn(text); };
  if (!OwnVoiceActive) {
    if (!CharacterReady()) return;
    target.character = AgentForm->Character;
    target.control = AgentForm->Agent.get();
    target.agentAvailable = AgentAvailable;
    target.followActive = [] {
      AgentForm->Follower.SetMovePending();
      AgentForm->TimerPosTimer();
    };
  }
  agent::InterpretAgentValues(values, target);
}

void AgentShutdown() {
  if (AgentForm == nullptr) return;
  AgentForm->Shutdown();
  delete AgentForm;  // and the dialogs it owns
  AgentForm = nullptr;
  AgentAvailable = AgentFormReady = CharacterLoaded = false;
}

bool AgentFormExists() {
  return AgentForm != nullptr;
}

void AgentShowProperties() {
  if (AgentForm != nullptr) AgentForm->ShowAgentProperties(1);
}

namespace {

void ShowHiddenCharacter() {
  if (AgentForm == nullptr || AgentForm->Character == nullptr) return;
  try {
    if (!AgentForm->Character->Visible()) AgentForm->Character->Show();
  } catch (const agent::RequestError&) {
  }
}

}  // namespace

// A hidden character is shown between stopping what it does and the text: a Show queued
// before the stop would be emptied out of the queue with the rest, and the text spoken unseen.
void SayFromAgentForm(const std::string& text) {
  if (!text.empty()) AgentCommand({"STOPALL"});
  if (AgentAvailable) ShowHiddenCharacter();
  if (!text.empty()) AgentCommand({"AF", text});
  AgentEnabled = true;
}

void SayThroughAgent(const std::string& text) {
  if (!CharacterLoaded) {
    AgentEnabled = true;
    AgentCommand({""});
  }
  AgentCommand({"STOPALL"});
  if (CharacterLoaded) ShowHiddenCharacter();
  AgentCommand({"AF", text});
}

}  // namespace kv::installer
