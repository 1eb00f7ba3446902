// Per-thread message loop with window timers and posted calls: the stand-in for the thread
// message queue that drives the synthesizer's and the engine's timers.
//
// One loop per thread; timers fire only on the thread that created them. The clock is
// injectable: on a ManualClock the loop jumps straight to the next due timer, so tests of
// timer-driven speech are instant and deterministic. A GUI toolkit can drive the same loop
// from its own event loop through NextDue() and ProcessPending().
//
// On Windows the loop is the thread's own message queue: each loop has a message-only window,
// timers are its SetTimer timers and posted calls its messages, so whatever loop the thread
// runs (the host's own GetMessage/DispatchMessage included) fires them. The timers keep real
// time there; a manual clock changes only what Now() says.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace kv::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t NowMs() = 0;
  // Whether the loop may move this clock forward itself when idle.
  virtual bool IsManual() const { return false; }
  virtual void AdvanceTo(int64_t) {}
};

class SteadyClock : public Clock {
 public:
  int64_t NowMs() override;
};

class ManualClock : public Clock {
 public:
  explicit ManualClock(int64_t start = 0) : now_(start) {}
  int64_t NowMs() override { return now_; }
  bool IsManual() const override { return true; }
  void AdvanceTo(int64_t t) override {
    if (t > now_) now_ = t;
  }
  void Advance(int64_t ms) { now_ += ms; }

 private:
  int64_t now_;
};

class WindowTimer;

class MessageLoop {
 public:
  // The calling thread's loop, created on first use with a steady clock.
  static MessageLoop& Current();
  ~MessageLoop();

  void SetClock(std::shared_ptr<Clock> clock);
  Clock& GetClock() { return *clock_; }
  int64_t Now() { return clock_->NowMs(); }

  // Queues a call to run on this loop's thread. Safe from any thread.
  void Post(std::function<void()> call);
  // Whether queued calls wait to run.
  bool HasPosts();
  // Called (on the posting thread) after every Post, so that a toolkit's event loop that drives
  // this loop wakes up for calls posted from other threads. Empty: none.
  void SetWakeHook(std::function<void()> hook);

  // Runs queued calls and the timers that are due now; returns whether anything ran.
  // This is "process pending messages".
  bool ProcessPending();

  // Dispatches until done() holds (checked after every dispatch), until Quit(), or until
  // timeoutMs of loop time passed (negative: no limit). Returns whether done() held.
  // On a manual clock, an idle loop with nothing scheduled ends at once (it would never wake).
  bool RunUntil(const std::function<bool()>& done, int64_t timeoutMs = -1);
  // Asks the innermost RunUntil to return.
  void Quit();

  // When the earliest enabled timer is due, if any. A timer whose handler is still running (a
  // modal loop inside it) does not count: it fires again only after its handler returned.
  std::optional<int64_t> NextDue() const;
  // Number of enabled timers (tests use it to see whether speech is still scheduled).
  size_t EnabledTimers() const;

 private:
  friend class WindowTimer;
  friend class LoopWindow;  // the Windows face's window, which fires the timers
  MessageLoop();
  uint64_t Register(WindowTimer* timer);
  void Unregister(uint64_t id);
  bool FireDueTimers();
  void ClearRunning(uint64_t id);

  // Shared with the timers: a timer that outlives its thread's loop (a module-wide object
  // destroyed after the thread's storage) finds it gone instead of touching freed memory.
  std::shared_ptr<MessageLoop*> self_;

  std::shared_ptr<Clock> clock_;
  std::map<uint64_t, WindowTimer*> timers_;
  uint64_t nextId_ = 1;
  int quitRequests_ = 0;

  std::mutex postMutex_;
  std::condition_variable postSignal_;
  std::deque<std::function<void()>> posted_;
  std::function<void()> wakeHook_;
};

// A window-message timer: interval, enabled flag and handler, bound to the creating thread's
// loop. Created disabled. Handlers may enable, disable or destroy any timer, their own
// included, and may run a modal loop: the other timers keep firing in it, while the timer whose
// handler runs is not re-entered. A timer is used only on the thread that created it.
class WindowTimer {
 public:
  WindowTimer(uint32_t intervalMs, std::function<void()> onTimer);
  ~WindowTimer();
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  // Enabling (also re-enabling) restarts the interval; a disabled timer never fires.
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  void SetInterval(uint32_t ms);
  uint32_t Interval() const { return interval_; }
  void SetOnTimer(std::function<void()> onTimer) { onTimer_ = std::move(onTimer); }

 private:
  friend class MessageLoop;
  friend class LoopWindow;
  MessageLoop* Loop() const;
  // Tells the system's timer of a new state (the Windows face sets or kills its timer).
  void Reschedule();

  std::weak_ptr<MessageLoop*> loop_;
  uint64_t id_;
  uint32_t interval_;
  bool enabled_ = false;
  bool running_ = false;  // its handler is on the stack
  int64_t due_ = 0;
  std::function<void()> onTimer_;
};

// Milliseconds on the calling thread's loop clock, as an unsigned 32-bit tick count.
uint32_t GetTickCount();

}  // namespace kv::platform
