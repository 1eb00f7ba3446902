// The message loop over the thread's real message queue: a message-only window per loop, its
// SetTimer timers for the window timers and a message of its own for posted calls. The window
// procedure fires them in whatever loop dispatches the thread's messages.
#include "platform/message_loop.h"

#include <algorithm>
#include <exception>
#include <map>
#include <mutex>
#include <utility>

#include "platform/win32/windows_api.h"

namespace kv::platform {
namespace {

constexpr UINT kPostedCalls = WM_APP + 0x4B;
constexpr const wchar_t* kWindowClass = L"KvMessageLoopWindow";

// The windows of the loops, for posting from other threads.
std::mutex g_windowsMutex;
std::map<const MessageLoop*, HWND> g_windows;

HWND WindowOf(const MessageLoop* loop) {
  std::lock_guard lock(g_windowsMutex);
  const auto it = g_windows.find(loop);
  return it == g_windows.end() ? nullptr : it->second;
}

// A handler's exception cannot pass through the system's dispatch: it is kept here and raised
// again once the dispatch returned to our loop. (Thread-local data here has no destructor: the
// runtime's thread storage may be gone before such destructors run at a thread's end.)
thread_local std::exception_ptr* g_pendingFailure = nullptr;

void KeepFailure(std::exception_ptr failure) {
  if (g_pendingFailure == nullptr) g_pendingFailure = new std::exception_ptr;
  *g_pendingFailure = std::move(failure);
}

void RaisePendingFailure() {
  if (g_pendingFailure != nullptr && *g_pendingFailure)
    std::rethrow_exception(std::exchange(*g_pendingFailure, nullptr));
}

}  // namespace

class LoopWindow {
 public:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* loop = reinterpret_cast<MessageLoop*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (loop != nullptr && (message == WM_TIMER || message == kPostedCalls)) {
      try {
        if (message == WM_TIMER)
          Fire(*loop, uint64_t(wParam));
        else
          RunPosts(*loop);
      } catch (...) {
        KeepFailure(std::current_exception());
      }
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  // The class is this module's own (the program and the engine library each carry a loop).
  static HINSTANCE Module() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&Procedure), &module);
    return module;
  }

  static HWND Create(MessageLoop* loop) {
    static const ATOM registered = [] {
      WNDCLASSW type{};
      type.lpfnWndProc = Procedure;
      type.hInstance = Module();
      type.lpszClassName = kWindowClass;
      return ::RegisterClassW(&type);
    }();
    (void)registered;
    HWND window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    Module(), nullptr);
    if (window != nullptr) ::SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(loop));
    return window;
  }

  // The timer's handler, unless it is disabled, gone, or its handler is still running.
  static void Fire(MessageLoop& loop, uint64_t id) {
    auto it = loop.timers_.find(id);
    if (it == loop.timers_.end()) return;
    WindowTimer* timer = it->second;
    if (!timer->enabled_ || timer->running_) return;
    timer->due_ = loop.clock_->NowMs() + timer->interval_;
    if (!timer->onTimer_) return;
    auto handler = timer->onTimer_;  // the handler may destroy its own timer
    timer->running_ = true;
    try {
      handler();
    } catch (...) {
      loop.ClearRunning(id);
      throw;
    }
    loop.ClearRunning(id);
  }

  // The calls queued by now, one at a time (calls posted meanwhile wait for the next turn).
  static bool RunPosts(MessageLoop& loop) {
    size_t left;
    {
      std::lock_guard lock(loop.postMutex_);
      left = loop.posted_.size();
    }
    bool ran = false;
    for (; left > 0; --left) {
      std::function<void()> call;
      {
        std::lock_guard lock(loop.postMutex_);
        if (loop.posted_.empty()) break;
        call = std::move(loop.posted_.front());
        loop.posted_.pop_front();
      }
      ran = true;
      if (call) call();
    }
    return ran;
  }

  static void Schedule(WindowTimer& timer) {
    MessageLoop* loop = timer.Loop();
    HWND window = loop != nullptr ? WindowOf(loop) : nullptr;
    if (window == nullptr) return;
    if (timer.enabled_)
      ::SetTimer(window, UINT_PTR(timer.id_), timer.interval_, nullptr);
    else
      ::KillTimer(window, UINT_PTR(timer.id_));
  }
};

// The loop of a thread lives as long as the process; its window goes with its thread.
MessageLoop& MessageLoop::Current() {
  thread_local MessageLoop* loop = nullptr;
  if (loop == nullptr) loop = new MessageLoop();
  return *loop;
}

MessageLoop::MessageLoop()
    : self_(std::make_shared<MessageLoop*>(this)), clock_(std::make_shared<SteadyClock>()) {
  HWND window = LoopWindow::Create(this);
  std::lock_guard lock(g_windowsMutex);
  g_windows[this] = window;
}

MessageLoop::~MessageLoop() {
  *self_ = nullptr;
  for (auto& [id, timer] : timers_) timer->enabled_ = false;
  HWND window = WindowOf(this);
  {
    std::lock_guard lock(g_windowsMutex);
    g_windows.erase(this);
  }
  if (window != nullptr) ::DestroyWindow(window);
}

void MessageLoop::Post(std::function<void()> call) {
  std::function<void()> wake;
  {
    std::lock_guard lock(postMutex_);
    posted_.push_back(std::move(call));
    wake = wakeHook_;
  }
  if (HWND window = WindowOf(this)) ::PostMessageW(window, kPostedCalls, 0, 0);
  if (wake) wake();
}

uint64_t MessageLoop::Register(WindowTimer* timer) {
  const uint64_t id = nextId_++;
  timers_[id] = timer;
  return id;
}

void MessageLoop::Unregister(uint64_t id) {
  if (HWND window = WindowOf(this)) ::KillTimer(window, UINT_PTR(id));
  timers_.erase(id);
}

bool MessageLoop::ProcessPending() {
  bool ran = LoopWindow::RunPosts(*this);
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(int(message.wParam));  // for the loop that ends the thread's work
      break;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
    RaisePendingFailure();
    ran = true;
  }
  return ran;
}

bool MessageLoop::RunUntil(const std::function<bool()>& done, int64_t timeoutMs) {
  const int64_t deadline = timeoutMs < 0 ? -1 : clock_->NowMs() + timeoutMs;
  HWND window = WindowOf(this);
  // Wakes GetMessage at the deadline; an id no window timer uses.
  const UINT_PTR wake = UINT_PTR(nextId_++);
  if (deadline >= 0 && window != nullptr)
    ::SetTimer(window, wake, UINT(std::max<int64_t>(timeoutMs, USER_TIMER_MINIMUM)), nullptr);
  struct KillWake {
    HWND window;
    UINT_PTR id;
    ~KillWake() {
      if (window != nullptr) ::KillTimer(window, id);
    }
  } killWake{deadline >= 0 ? window : nullptr, wake};
  while (true) {
    LoopWindow::RunPosts(*this);
    if (done && done()) return true;
    if (quitRequests_ > 0) {
      --quitRequests_;
      return false;
    }
    if (deadline >= 0 && clock_->NowMs() >= deadline) return false;
    MSG message;
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(int(message.wParam));
      return done && done();
    }
    if (got < 0) return false;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
    RaisePendingFailure();
  }
}

void WindowTimer::Reschedule() {
  LoopWindow::Schedule(*this);
}

}  // namespace kv::platform
