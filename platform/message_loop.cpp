#include "platform/message_loop.h"

#include <chrono>
#include <vector>

namespace kv::platform {

int64_t SteadyClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

MessageLoop& MessageLoop::Current() {
  thread_local std::unique_ptr<MessageLoop> loop(new MessageLoop());
  return *loop;
}

MessageLoop::MessageLoop() : clock_(std::make_shared<SteadyClock>()) {}

void MessageLoop::SetClock(std::shared_ptr<Clock> clock) {
  clock_ = clock ? std::move(clock) : std::make_shared<SteadyClock>();
  const int64_t now = clock_->NowMs();
  for (auto& [id, timer] : timers_)
    if (timer->enabled_) timer->due_ = now + timer->interval_;
}

void MessageLoop::Post(std::function<void()> call) {
  {
    std::lock_guard lock(postMutex_);
    posted_.push_back(std::move(call));
  }
  postSignal_.notify_one();
}

uint64_t MessageLoop::Register(WindowTimer* timer) {
  const uint64_t id = nextId_++;
  timers_[id] = timer;
  return id;
}

void MessageLoop::Unregister(uint64_t id) {
  timers_.erase(id);
}

bool MessageLoop::FireDueTimers() {
  const int64_t now = clock_->NowMs();
  std::vector<uint64_t> due;
  for (auto& [id, timer] : timers_)
    if (timer->enabled_ && timer->due_ <= now) due.push_back(id);
  for (uint64_t id : due) {
    auto it = timers_.find(id);  // an earlier handler may have destroyed or disabled it
    if (it == timers_.end() || !it->second->enabled_ || it->second->due_ > now) continue;
    WindowTimer* timer = it->second;
    timer->due_ = now + timer->interval_;
    if (timer->onTimer_) {
      auto handler = timer->onTimer_;  // the handler may destroy its own timer
      handler();
    }
  }
  return !due.empty();
}

bool MessageLoop::ProcessPending() {
  std::deque<std::function<void()>> calls;
  {
    std::lock_guard lock(postMutex_);
    calls.swap(posted_);
  }
  for (auto& call : calls) call();
  const bool fired = FireDueTimers();
  return fired || !calls.empty();
}

std::optional<int64_t> MessageLoop::NextDue() const {
  std::optional<int64_t> next;
  for (const auto& [id, timer] : timers_)
    if (timer->enabled_ && (!next || timer->due_ < *next)) next = timer->due_;
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

bool MessageLoop::RunUntil(const std::function<bool()>& done, int64_t timeoutMs) {
  const int64_t deadline = timeoutMs < 0 ? -1 : clock_->NowMs() + timeoutMs;
  while (true) {
    ProcessPending();
    if (done && done()) return true;
    if (quitRequests_ > 0) {
      --quitRequests_;
      return false;
    }
    const int64_t now = clock_->NowMs();
    if (deadline >= 0 && now >= deadline) return false;
    std::optional<int64_t> next = NextDue();
    if (deadline >= 0 && (!next || *next > deadline)) next = deadline;
    bool havePosts;
    {
      std::lock_guard lock(postMutex_);
      havePosts = !posted_.empty();
    }
    if (havePosts) continue;
    if (clock_->IsManual()) {
      if (!next) return done && done();
      clock_->AdvanceTo(*next);
      continue;
    }
    std::unique_lock lock(postMutex_);
    const auto wait = std::chrono::milliseconds(next ? std::max<int64_t>(0, *next - now) : 50);
    postSignal_.wait_for(lock, wait, [&] { return !posted_.empty(); });
  }
}

WindowTimer::WindowTimer(uint32_t intervalMs, std::function<void()> onTimer)
    : loop_(MessageLoop::Current()), interval_(intervalMs), onTimer_(std::move(onTimer)) {
  id_ = loop_.Register(this);
}

WindowTimer::~WindowTimer() {
  loop_.Unregister(id_);
}

void WindowTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) due_ = loop_.Now() + interval_;
}

void WindowTimer::SetInterval(uint32_t ms) {
  interval_ = ms;
  if (enabled_) due_ = loop_.Now() + interval_;
}

uint32_t GetTickCount() {
  return static_cast<uint32_t>(MessageLoop::Current().Now());
}

}  // namespace kv::platform
