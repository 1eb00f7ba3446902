#include "installer/win32/agent_port_win32.h"

#include <objbase.h>

#include "agent/command_interpreter.h"
#include "platform/win32/windows_api.h"
#include "synth/own_voice.h"

namespace kv::installer {

namespace {

// The character server's control, {D45FD31B-5C6E-11D1-9EC1-00C04FD7081F}.
constexpr CLSID kAgentControl = {
    0xD45FD31B, 0x5C6E, 0x11D1, {0x9E, 0xC1, 0x00, 0xC0, 0x4F, 0xD7, 0x08, 0x1F}};

}  // namespace

TComAgentPort::~TComAgentPort() {
  Shutdown();
}

void TComAgentPort::Command(const std::vector<AgentArgument>& values) {
  if (enabled_) OwnVoiceActive = false;
  if (!enabled_ && !OwnVoiceActive) return;
  agent::CommandTarget target;
  target.ownVoiceActive = OwnVoiceActive;
  target.sayOwn = [](const std::string& text) { SayOwn(text); };
  if (!OwnVoiceActive) {
    if (!tried_) {
      tried_ = true;
      void* server = nullptr;
      if (SUCCEEDED(::CoCreateInstance(kAgentControl, nullptr, CLSCTX_ALL, IID_IUnknown, &server)))
        server_ = server;
    }
    // Characters of the server are not loaded: with or without it, the agent's commands have
    // no character to act on and are dropped.
    return;
  }
  agent::InterpretAgentValues(values, target);
}

void TComAgentPort::Shutdown() {
  if (server_ != nullptr) static_cast<IUnknown*>(server_)->Release();
  server_ = nullptr;
  tried_ = false;
}

}  // namespace kv::installer
