#include "agent/command_interpreter.h"

#include "agent/voice_modes.h"
#include "platform/cp1250.h"

namespace kv::agent {

namespace {

std::string Upper(const std::string& text) {
  return cp1250::UpperCase(text);
}

void MoveToActiveForm(CommandTarget& t) {
  if (t.control == nullptr) return;
  if (auto active = t.control->ActiveWindow())
    t.character->MoveTo(active->left, active->top - t.character->Height() + 10, 10);
}

void MoveToBottom(CommandTarget& t) {
  if (t.control == nullptr) return;
  const Geometry screen = t.control->Screen();
  AgentCharacter& c = *t.character;
  c.MoveTo(screen.width - c.Width(), screen.height - c.Height() - 15, 10);
}

// "}1".."}3" choose the mode; any text beginning with "}" loses its first two characters.
void SpeakWithPrefix(const std::string& text, AgentCharacter& c) {
  if (text.size() >= 2 && text[0] == '}' && text[1] >= '1' && text[1] <= '3') {
    try {
      c.SetTTSModeID(std::string(kVoiceModes[text[1] - '1']));
    } catch (const RequestError&) {
      // The character keeps its previous mode.
    }
  }
  c.Speak(text.starts_with('}') ? text.substr(std::min<size_t>(2, text.size())) : text);
}

void RunWithOwnVoice(const std::string& command, CommandTarget& t) {
  const std::string name = Upper(command);
  if (name == "STOPALL" || name == "STOP") {
    if (t.sayOwn) t.sayOwn("");
    return;
  }
  if (name == "AF" || name == "GOTOACTIVEFORM" || name == "GOTOBOOTOM") return;
  if (command.starts_with('~') || command.starts_with('{')) return;
  if (t.sayOwn) t.sayOwn(command);
}

void RunWithAgent(const std::string& command, CommandTarget& t) {
  AgentCharacter& c = *t.character;
  const std::string name = Upper(command);
  if (name == "STOPALL") {
    c.StopAll();
  } else if (name == "STOP") {
    c.Stop();
  } else if (name == "AF") {
    if (t.followActive) t.followActive();
  } else if (name == "GOTOACTIVEFORM") {
    MoveToActiveForm(t);
  } else if (name == "GOTOBOOTOM") {
    MoveToBottom(t);
  } else if (name == "~SHOW") {
    c.Show();
  } else if (name == "~HIDE") {
    if (!c.HasOtherClients()) c.Hide();
  } else if (command.starts_with('~')) {
    c.Play(name.substr(1));
  } else if (command.starts_with('{')) {
    c.Think(command.substr(1));
  } else if (!command.empty()) {
    SpeakWithPrefix(command, c);
  }
}

void RunCommand(const std::string& command, CommandTarget& t) {
  if (t.ownVoiceActive) return RunWithOwnVoice(command, t);
  if (t.character == nullptr) return;
  try {
    RunWithAgent(command, t);
  } catch (const RequestError&) {
    // A request the character refused; the rest of the list still runs.
  }
}

}  // namespace

std::vector<std::string> SplitCommands(const std::string& text) {
  std::vector<std::string> commands;
  size_t start = 0;
  for (size_t at; (at = text.find("^m", start)) != std::string::npos; start = at + 2)
    commands.push_back(text.substr(start, at - start));
  commands.push_back(text.substr(start));
  return commands;
}

void InterpretAgentValues(const std::vector<AgentValue>& values, CommandTarget& t) {
  int pair[2] = {0, 0};
  int filled = 0;
  for (const AgentValue& value : values) {
    if (const int* number = std::get_if<int>(&value)) {
      pair[filled++] = *number;
      if (filled < 2) continue;
      if (t.character != nullptr && !t.ownVoiceActive) {
        try {
          AgentCharacter& c = *t.character;
          c.MoveTo(ClampCoordinate(int64_t(pair[0]) - c.Width()),
                   ClampCoordinate(int64_t(pair[1]) - c.Height() / 2 + 35), 1);
        } catch (const RequestError&) {
        }
      }
      // Without the agent the second number stays the pair's end: a third one replaces it.
      filled = t.agentAvailable ? 0 : 1;
      continue;
    }
    for (const std::string& command : SplitCommands(std::get<std::string>(value)))
      RunCommand(command, t);
  }
}

}  // namespace kv::agent
