// The agent unit: the command interpreter the installer and its dialogs speak through, and the
// single agent form behind it. While the installer's own voice is active, texts go there and
// the character is not touched.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "agent/command_interpreter.h"

namespace kv::installer {

class TFormMSAgentu;

extern bool AgentEnabled;    // the installer wants agent output
extern bool AgentAvailable;  // the character layer connected
extern bool CharacterLoaded;
extern bool AgentFormReady;
extern TFormMSAgentu* AgentForm;

void AgentCommand(const std::vector<agent::AgentValue>& values);
void AgentShutdown();
bool AgentFormExists();
// The form's answer to a left click on the character (the main form's "Properties").
void AgentShowProperties();
// The say procedure the agent form gives the dialogs it opens.
void SayFromAgentForm(const std::string& text);
// The say procedure the installer gives the two settings dialogs.
void SayThroughAgent(const std::string& text);

// Makes the control object the agent form connects with (tests put a fake here); the default
// makes the desktop's.
void SetAgentControlFactory(std::function<std::unique_ptr<agent::AgentControl>()> factory);
std::unique_ptr<agent::AgentControl> MakeAgentControl();

}  // namespace kv::installer
