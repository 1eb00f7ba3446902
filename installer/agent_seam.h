// Where the installer hands text and commands to the MS Agent layer. Until that layer exists
// the commands do nothing visible, except that text meant to be spoken goes to the installer's
// own voice while it is active (as the agent's command interpreter does).
#pragma once

#include <string>
#include <vector>

namespace kv::installer {

extern bool AgentEnabled;
extern bool CharacterLoaded;

void AgentCommand(const std::vector<std::string>& values);
void AgentShutdown();
bool AgentFormExists();
void AgentShowProperties();

// The say procedure the installer gives the two settings dialogs.
void SayThroughAgent(const std::string& text);

}  // namespace kv::installer
