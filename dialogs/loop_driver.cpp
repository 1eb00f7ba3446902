#include "dialogs/loop_driver.h"

#include <QAbstractEventDispatcher>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <optional>

#include "platform/message_loop.h"

namespace kv::dialogs {
namespace {

class LoopDriver final : public QObject {
 public:
  explicit LoopDriver(platform::MessageLoop& loop) : loop_(loop) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &LoopDriver::Run);
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
      connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &LoopDriver::Arm);
    // Posts may come from any thread: a queued call to the driver's thread wakes its loop.
    // The driver is never destroyed, so the hook may hold it plainly.
    loop_.SetWakeHook(
        [this] { QMetaObject::invokeMethod(this, &LoopDriver::Run, Qt::QueuedConnection); });
  }

 private:
  // Runs what is due, re-entrantly: a handler may open a modal form whose loop calls it again.
  void Run() {
    loop_.ProcessPending();
    Arm();
  }

  void Arm() {
    std::optional<int64_t> due = loop_.NextDue();
    if (loop_.HasPosts()) due = loop_.Now();
    if (!due) {
      timer_.stop();
      return;
    }
    // On a manual clock (tests) an idle loop jumps to the next due time, as RunUntil does.
    if (loop_.GetClock().IsManual()) loop_.GetClock().AdvanceTo(*due);
    const int64_t wait = std::clamp<int64_t>(*due - loop_.Now(), 0, INT_MAX);
    if (timer_.isActive() && armedFor_ == *due) return;
    armedFor_ = *due;
    timer_.start(static_cast<int>(wait));
  }

  platform::MessageLoop& loop_;
  QTimer timer_;
  int64_t armedFor_ = 0;
};

}  // namespace

void InstallLoopDriver() {
  thread_local LoopDriver* driver = nullptr;
  if (driver == nullptr) driver = new LoopDriver(platform::MessageLoop::Current());  // kept
}

}  // namespace kv::dialogs
