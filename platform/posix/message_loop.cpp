#include "platform/message_loop.h"

#include <algorithm>
#include <chrono>
#include <tuple>
#include <vector>

namespace kv::platform {

MessageLoop& MessageLoop::Current() {
  thread_local std::unique_ptr<MessageLoop> loop(new MessageLoop());
  return *loop;
}

MessageLoop::MessageLoop()
    : self_(std::make_shared<MessageLoop*>(this)), clock_(std::make_shared<SteadyClock>()) {}

MessageLoop::~MessageLoop() {
  *self_ = nullptr;
  for (auto& [id, timer] : timers_) timer->enabled_ = false;
}

void MessageLoop::Post(std::function<void()> call) {
  std::function<void()> wake;
  {
    std::lock_guard lock(postMutex_);
    posted_.push_back(std::move(call));
    wake = wakeHook_;
  }
  postSignal_.notify_one();
  if (wake) wake();
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
  // Earliest due first, then in creation order.
  std::vector<std::tuple<int64_t, uint64_t>> due;
  for (auto& [id, timer] : timers_)
    if (timer->enabled_ && !timer->running_ && timer->due_ <= now)
      due.emplace_back(timer->due_, id);
  std::sort(due.begin(), due.end());
  bool fired = false;
  for (const auto& [when, id] : due) {
    // An earlier handler (or a modal loop inside it) may have destroyed, disabled, re-enabled
    // or already fired this timer, or may be this timer's own handler still running.
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    WindowTimer* timer = it->second;
    if (!timer->enabled_ || timer->running_ || timer->due_ > now) continue;
    timer->due_ = now + timer->interval_;
    fired = true;
    if (!timer->onTimer_) continue;
    auto handler = timer->onTimer_;  // the handler may destroy its own timer
    timer->running_ = true;
    try {
      handler();
    } catch (...) {
      ClearRunning(id);
      throw;
    }
    ClearRunning(id);
  }
  return fired;
}

bool MessageLoop::ProcessPending() {
  // The calls queued by now, one at a time, so that a modal loop inside a call keeps the
  // queue's order; calls posted meanwhile wait for the next turn (a call that posts itself
  // again cannot hold the loop).
  size_t left;
  {
    std::lock_guard lock(postMutex_);
    left = posted_.size();
  }
  bool ran = false;
  for (; left > 0; --left) {
    std::function<void()> call;
    {
      std::lock_guard lock(postMutex_);
      if (posted_.empty()) break;
      call = std::move(posted_.front());
      posted_.pop_front();
    }
    ran = true;
    if (call) call();
  }
  const bool fired = FireDueTimers();
  return fired || ran;
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
    if (HasPosts()) continue;
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

// Timers are due times the loop itself looks at.
void WindowTimer::Reschedule() {}

}  // namespace kv::platform
