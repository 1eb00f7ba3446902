// The character layer's character: its requests queue and run one after another on the
// message loop's timers, drawn in a CharacterWindow and spoken by an EngineSpeaker.
#pragma once

#include <QPoint>
#include <deque>
#include <memory>
#include <optional>

#include "agent/balloon_text.h"
#include "agent/character_layer.h"
#include "agent/character_window.h"
#include "agent/engine_speaker.h"
#include "platform/message_loop.h"

namespace kv::agent {

class DesktopCharacter final : public AgentCharacter {
 public:
  // Menu entries and clicks go to the control's OnCommand and OnClick.
  DesktopCharacter(const CharacterLook& look, AgentControl& control);
  ~DesktopCharacter() override;

  void Speak(const std::string& text) override;
  void Think(const std::string& text) override;
  void Play(const std::string& animation) override;
  void Stop() override;
  void StopAll() override;
  void Show() override;
  void Hide() override;
  void MoveTo(int x, int y, int speed) override;
  int Width() const override { return window_->width(); }
  int Height() const override { return window_->height(); }
  bool Visible() const override { return window_->isVisible(); }
  bool HasOtherClients() const override { return false; }
  std::string TTSModeID() const override { return mode_; }
  void SetTTSModeID(const std::string& modeId) override;
  std::vector<std::string> AnimationNames() const override { return window_->Look().animations; }
  void AddCommand(const std::string& name, const std::string& caption, const std::string& voice,
                  bool enabled, bool visible) override;

  CharacterWindow& Window() { return *window_; }
  // Whether a request runs or waits.
  bool Busy() const { return current_.has_value() || !queue_.empty(); }

 private:
  enum class Kind { Speak, Think, Play, Show, Hide, Move };
  struct Request {
    Kind kind;
    std::string text;  // Windows-1250
    int x = 0, y = 0, speed = 0;
  };
  struct MenuEntry {
    std::string name, caption;
    bool enabled, visible;
  };

  void Enqueue(Request request);
  void Tick();
  void StartNext();
  void StartSpeaking();
  void ShowWordsUpTo(size_t position);
  void Advance(int64_t now);
  void Finish(int64_t holdBalloonMs);
  void ShowMenu(const QPoint& at);

  AgentControl& control_;
  std::unique_ptr<CharacterWindow> window_;
  EngineSpeaker speaker_;
  std::string mode_;
  std::vector<MenuEntry> menu_;
  std::deque<Request> queue_;
  std::optional<Request> current_;
  std::optional<BalloonText> spoken_;  // of the Speak request running
  int64_t started_ = 0, endsAt_ = 0, balloonUntil_ = -1;
  QPoint glideFrom_;
  bool speaking_ = false, silentSpeech_ = false;
  platform::WindowTimer frames_;
};

}  // namespace kv::agent
