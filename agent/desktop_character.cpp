#include "agent/desktop_character.h"

#include <QGuiApplication>
#include <QMenu>
#include <algorithm>
#include <cmath>

#include "agent/active_window_x11.h"
#include "agent/voice_modes.h"
#include "platform/cp1250.h"

namespace kv::agent {

namespace {

constexpr uint32_t kFrameMs = 40;
constexpr int64_t kAnimationFrameMs = 120;
constexpr int kAnimationFrames = 8;
constexpr int64_t kBalloonHoldMs = 1500;
constexpr int64_t kSilentWordMs = 300;  // without an engine the words still show one by one

int64_t Now() {
  return platform::MessageLoop::Current().Now();
}

QString Utf8(const std::string& cp1250Text) {
  return QString::fromStdString(cp1250::ToUtf8(cp1250Text));
}

}  // namespace

DesktopCharacter::DesktopCharacter(const CharacterLook& look, AgentControl& control)
    : control_(control),
      window_(std::make_unique<CharacterWindow>(look)),
      mode_(kDefaultVoiceMode),
      frames_(kFrameMs, [this] { Tick(); }) {
  window_->onClick = [this](int button) {
    if (control_.OnClick) control_.OnClick(button);
  };
  window_->onMenu = [this](const QPoint& at) { ShowMenu(at); };
  const bool onX = QGuiApplication::platformName() == "xcb";
  window_->UseShapeMask(onX && !X11Compositing(onX));
}

DesktopCharacter::~DesktopCharacter() {
  speaker_.Stop();
}

void DesktopCharacter::Speak(const std::string& text) {
  Enqueue({Kind::Speak, text});
}
void DesktopCharacter::Think(const std::string& text) {
  Enqueue({Kind::Think, text});
}
void DesktopCharacter::Show() {
  Enqueue({Kind::Show, {}});
}
void DesktopCharacter::Hide() {
  Enqueue({Kind::Hide, {}});
}
void DesktopCharacter::MoveTo(int x, int y, int speed) {
  Enqueue({Kind::Move, {}, ClampCoordinate(x), ClampCoordinate(y), speed});
}

void DesktopCharacter::Play(const std::string& animation) {
  const std::string name = cp1250::UpperCase(animation);
  const auto& names = window_->Look().animations;
  if (std::find(names.begin(), names.end(), name) == names.end()) return;  // not offered
  Enqueue({Kind::Play, name});
}

void DesktopCharacter::Stop() {
  if (!current_) return;
  if (speaking_) speaker_.Stop();  // its end finishes the request
  if (current_) Finish(0);
}

void DesktopCharacter::StopAll() {
  queue_.clear();
  Stop();
  window_->SetBalloon(CharacterWindow::Balloon::None, {});
}

void DesktopCharacter::SetTTSModeID(const std::string& modeId) {
  if (!speaker_.HasMode(modeId))
    throw RequestError("the voice mode " + modeId + " is not installed");
  mode_ = modeId;
}

void DesktopCharacter::AddCommand(const std::string& name, const std::string& caption,
                                  const std::string&, bool enabled, bool visible) {
  menu_.push_back({name, caption, enabled, visible});
}

void DesktopCharacter::Enqueue(Request request) {
  queue_.push_back(std::move(request));
  if (!current_) frames_.SetEnabled(true);  // starts on the next tick: the caller goes on
}

void DesktopCharacter::Tick() {
  const int64_t now = Now();
  if (!current_ && !queue_.empty()) StartNext();
  if (current_) return Advance(now);
  if (balloonUntil_ >= 0 && now >= balloonUntil_) {
    balloonUntil_ = -1;
    window_->SetBalloon(CharacterWindow::Balloon::None, {});
  }
  if (balloonUntil_ < 0 && queue_.empty()) frames_.SetEnabled(false);
}

void DesktopCharacter::StartNext() {
  current_ = std::move(queue_.front());
  queue_.pop_front();
  started_ = Now();
  const Request& r = *current_;
  switch (r.kind) {
    case Kind::Speak:
      return StartSpeaking();
    case Kind::Think:
      balloonUntil_ = -1;
      window_->SetBalloon(CharacterWindow::Balloon::Thought, Utf8(r.text));
      endsAt_ = started_ + std::max<int64_t>(1500, 50 * int64_t(r.text.size()));
      return;
    case Kind::Play:
      endsAt_ = started_ + kAnimationFrames * kAnimationFrameMs;
      return;
    case Kind::Show:
      window_->show();
      return Finish(0);
    case Kind::Hide:
      window_->hide();
      return Finish(0);
    case Kind::Move:
      glideFrom_ = window_->pos();
      if (r.speed <= 1) {
        window_->move(r.x, r.y);
        return Finish(0);
      }
      endsAt_ = started_ +
                std::clamp<int64_t>(int64_t(std::hypot(r.x - glideFrom_.x(), r.y - glideFrom_.y())),
                                    100, 1500);
      return;
  }
}

void DesktopCharacter::StartSpeaking() {
  balloonUntil_ = -1;
  spoken_.emplace(current_->text);
  window_->SetBalloon(CharacterWindow::Balloon::Speech, {});
  EngineSpeaker::Events events;
  events.word = [this](size_t position) { ShowWordsUpTo(position); };
  events.mouth = [this](int opening) { window_->SetMouth(opening); };
  events.done = [this] {
    speaking_ = false;
    if (current_ && current_->kind == Kind::Speak) {
      window_->SetBalloon(CharacterWindow::Balloon::Speech, Utf8(spoken_->Shown()));
      Finish(kBalloonHoldMs);
    }
  };
  speaking_ = speaker_.Start(current_->text, mode_, std::move(events));
  silentSpeech_ = !speaking_;
}

// The balloon holds the text up to the end of the word the engine has reached.
void DesktopCharacter::ShowWordsUpTo(size_t position) {
  if (!current_ || current_->kind != Kind::Speak || !spoken_) return;
  window_->SetBalloon(CharacterWindow::Balloon::Speech, Utf8(spoken_->UpTo(position)));
}

void DesktopCharacter::Advance(int64_t now) {
  const Request& r = *current_;
  const int64_t elapsed = now - started_;
  if (r.kind == Kind::Speak) {
    if (!silentSpeech_) return;  // the engine's notifications drive it
    const size_t words = size_t(elapsed / kSilentWordMs);
    if (words >= spoken_->WordCount()) return Finish(kBalloonHoldMs);
    return window_->SetBalloon(CharacterWindow::Balloon::Speech,
                               Utf8(spoken_->FirstWords(words + 1)));
  }
  if (r.kind == Kind::Play) window_->SetPose(r.text, int(elapsed / kAnimationFrameMs));
  if (r.kind == Kind::Move && now < endsAt_) {
    const double f = double(elapsed) / double(endsAt_ - started_);
    window_->move(glideFrom_.x() + int((r.x - glideFrom_.x()) * f),
                  glideFrom_.y() + int((r.y - glideFrom_.y()) * f));
  }
  if (now < endsAt_) return;
  if (r.kind == Kind::Move) window_->move(r.x, r.y);
  Finish(0);
}

void DesktopCharacter::Finish(int64_t holdBalloonMs) {
  const Kind kind = current_->kind;
  current_.reset();
  spoken_.reset();
  silentSpeech_ = false;
  window_->SetPose({}, 0);
  window_->SetMouth(0);
  if (kind == Kind::Speak || kind == Kind::Think) balloonUntil_ = Now() + holdBalloonMs;
  frames_.SetEnabled(true);
}

void DesktopCharacter::ShowMenu(const QPoint& at) {
  QMenu menu(window_.get());
  for (const MenuEntry& entry : menu_) {
    if (!entry.visible) continue;
    QAction* action = menu.addAction(Utf8(entry.caption));
    action->setEnabled(entry.enabled);
    action->setData(Utf8(entry.name));
  }
  QAction* chosen = menu.exec(at);
  if (chosen != nullptr && control_.OnCommand)
    control_.OnCommand(cp1250::FromUtf8Lenient(chosen->data().toString().toStdString()));
}

}  // namespace kv::agent
