// The installer's way to the character (the agent unit): the main window's agent buttons and
// the install box act through it. Each face brings its own.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace kv::installer {

// A command value: a text or an integer.
using AgentArgument = std::variant<std::string, int>;

class AgentPort {
 public:
  virtual ~AgentPort() = default;
  // AgentEnabled: the installer wants agent output.
  virtual void SetEnabled(bool enabled) = 0;
  virtual void Command(const std::vector<AgentArgument>& values) = 0;
  virtual void Shutdown() = 0;
  virtual bool FormExists() const = 0;
  virtual bool CharacterLoaded() const = 0;
  virtual void ShowProperties() = 0;
};

}  // namespace kv::installer
