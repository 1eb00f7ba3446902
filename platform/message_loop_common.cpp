// The parts of the message loop that both faces share: the clocks, the loop of each thread,
// the bookkeeping of timers and posted calls.
#include <chrono>

#include "platform/message_loop.h"

namespace kv::platform {

int64_t SteadyClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void MessageLoop::SetClock(std::shared_ptr<Clock> clock) {
  clock_ = clock ? std::move(clock) : std::make_shared<SteadyClock>();
  const int64_t now = clock_->NowMs();
  for (auto& [id, timer] : timers_)
    if (timer->enabled_) timer->due_ = now + timer->interval_;
}

void MessageLoop::SetWakeHook(std::function<void()> hook) {
  std::lock_guard lock(postMutex_);
  wakeHook_ = std::move(hook);
}

void MessageLoop::ClearRunning(uint64_t id) {
  if (auto it = timers_.find(id); it != timers_.end()) it->second->running_ = false;
}

bool MessageLoop::HasPosts() {
  std::lock_guard lock(postMutex_);
  return !posted_.empty();
}

std::optional<int64_t> MessageLoop::NextDue() const {
  std::optional<int64_t> next;
  for (const auto& [id, timer] : timers_)
    if (timer->enabled_ && !timer->running_ && (!next || timer->due_ < *next)) next = timer->due_;
  return next;
}

size_t MessageLoop::EnabledTimers() const {
  size_t n = 0;
  for (const auto& [id, timer] : timers_) n += timer->enabled_;
  return n;
}

void MessageLoop::Quit() {
  ++quitRequests_;
}

WindowTimer::WindowTimer(uint32_t intervalMs, std::function<void()> onTimer)
    : interval_(intervalMs), onTimer_(std::move(onTimer)) {
  MessageLoop& loop = MessageLoop::Current();
  loop_ = loop.self_;
  id_ = loop.Register(this);
}

WindowTimer::~WindowTimer() {
  if (MessageLoop* loop = Loop()) loop->Unregister(id_);
}

void WindowTimer::SetEnabled(bool enabled) {
  MessageLoop* loop = Loop();
  enabled_ = enabled && loop;
  if (enabled_) due_ = loop->Now() + interval_;
  Reschedule();
}

void WindowTimer::SetInterval(uint32_t ms) {
  interval_ = ms;
  if (MessageLoop* loop = Loop(); loop && enabled_) {
    due_ = loop->Now() + interval_;
    Reschedule();
  }
}

MessageLoop* WindowTimer::Loop() const {
  auto self = loop_.lock();
  return self ? *self : nullptr;
}

uint32_t GetTickCount() {
  return static_cast<uint32_t>(MessageLoop::Current().Now());
}

}  // namespace kv::platform
