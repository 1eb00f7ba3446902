// The agent's command interpreter: a list of values (texts and integers) becomes character
// actions, or, while the installer's own voice is active, text for that voice.
#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "agent/character_layer.h"

namespace kv::agent {

using AgentValue = std::variant<std::string, int>;

struct CommandTarget {
  AgentCharacter* character = nullptr;  // null: no character to act on
  AgentControl* control = nullptr;      // for the desktop's geometry; may be null
  bool agentAvailable = false;
  bool ownVoiceActive = false;
  std::function<void()> followActive;              // "AF"
  std::function<void(const std::string&)> sayOwn;  // the installer's own voice
};

// Runs the values in order (texts Windows-1250). Failing character requests are ignored.
void InterpretAgentValues(const std::vector<AgentValue>& values, CommandTarget& target);

// The commands of one text value: split at "^m".
std::vector<std::string> SplitCommands(const std::string& text);

}  // namespace kv::agent
