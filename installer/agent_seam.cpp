#include "installer/agent_seam.h"

#include "synth/own_voice.h"

namespace kv::installer {

bool AgentEnabled = false;
bool CharacterLoaded = false;

namespace {

// "}1".."}3" before a text choose the voice for the agent; the own voice has only voice 1.
std::string WithoutVoicePrefix(const std::string& text) {
  if (text.size() >= 2 && text[0] == '}' && text[1] >= '1' && text[1] <= '3') return text.substr(2);
  return text;
}

}  // namespace

void AgentCommand(const std::vector<std::string>& values) {
  if (values.empty() || !OwnVoiceActive) return;
  const std::string& text = values.back();
  if (!text.empty()) SayOwn(WithoutVoicePrefix(text));
}

void AgentShutdown() {
  CharacterLoaded = false;
}

bool AgentFormExists() {
  return false;
}

void AgentShowProperties() {}

void SayThroughAgent(const std::string& text) {
  if (!CharacterLoaded) {
    AgentEnabled = true;
    AgentCommand({""});
  }
  AgentCommand({"STOPALL", "AF", text});
}

}  // namespace kv::installer
