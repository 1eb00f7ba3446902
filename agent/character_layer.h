// The desktop-character layer the agent form drives: a control object that loads characters
// and a character that speaks, thinks, plays animations and moves. Requests return at once and
// run one after another on the message loop. Tests put a recording fake in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv::agent {

// A request on a character that is gone (unloaded, or its window destroyed).
struct RequestError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Places on the desktop are X coordinates: 16 bits with a sign. Arithmetic on coordinates that
// come from outside (a caller's integers) is done wide and brought into that range.
inline constexpr int64_t kMaxCoordinate = 32767, kMinCoordinate = -32768;
inline int ClampCoordinate(int64_t value) {
  return int(value < kMinCoordinate   ? kMinCoordinate
             : value > kMaxCoordinate ? kMaxCoordinate
                                      : value);
}

struct Geometry {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Geometry&) const = default;
};

class AgentCharacter {
 public:
  virtual ~AgentCharacter() = default;
  virtual void Speak(const std::string& text) = 0;  // Windows-1250
  virtual void Think(const std::string& text) = 0;
  virtual void Play(const std::string& animation) = 0;
  virtual void Stop() = 0;     // the request running now
  virtual void StopAll() = 0;  // and everything queued
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Speed 1 jumps; larger speeds glide.
  virtual void MoveTo(int x, int y, int speed) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Visible() const = 0;
  virtual bool HasOtherClients() const = 0;
  virtual std::string TTSModeID() const = 0;
  // Throws RequestError for a mode that is not installed; the character keeps its mode.
  virtual void SetTTSModeID(const std::string& modeId) = 0;
  virtual std::vector<std::string> AnimationNames() const = 0;
  // One entry of the character's right-button menu.
  virtual void AddCommand(const std::string& name, const std::string& caption,
                          const std::string& voice, bool enabled, bool visible) = 0;
};

class AgentControl {
 public:
  virtual ~AgentControl() = default;
  // Connecting may fail (no desktop to show characters on): false then.
  virtual bool SetConnected(bool connected) = 0;
  virtual void SetRaiseRequestErrors(bool raise) = 0;
  // Status of the load request: 0 when loaded. An empty file means the built-in "DEFAULT".
  virtual int Load(const std::string& id, const std::string& file) = 0;
  virtual AgentCharacter* Character(const std::string& id) = 0;  // null when not loaded
  virtual void Unload(const std::string& id) = 0;
  virtual void ShowPropertySheet() = 0;
  virtual void ShowDefaultCharacterProperties() = 0;
  // The desktop around the character.
  virtual std::optional<Geometry> ActiveWindow() const = 0;
  virtual Geometry Screen() const = 0;

  std::function<void(const std::string& command)> OnCommand;  // menu entry chosen
  std::function<void(int button)> OnClick;                    // 1: left button
};

}  // namespace kv::agent
