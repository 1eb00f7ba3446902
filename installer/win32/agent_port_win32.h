// The agent unit on Windows: the character server through COM when it is registered. Where it
// is not (as under Wine), the control cannot be created, every agent command is ignored and
// texts are spoken only while the installer's own voice is active.
#pragma once

#include "installer/logic/agent_port.h"

namespace kv::installer {

class TComAgentPort : public AgentPort {
 public:
  ~TComAgentPort() override;
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void Command(const std::vector<AgentArgument>& values) override;
  void Shutdown() override;
  bool FormExists() const override { return false; }
  bool CharacterLoaded() const override { return false; }
  void ShowProperties() override {}
  // Whether the server could be created (tried once, at the first command for the agent).
  bool Available() const { return server_ != nullptr; }

 private:
  bool enabled_ = false;
  bool tried_ = false;
  void* server_ = nullptr;  // the server's IUnknown
};

}  // namespace kv::installer
