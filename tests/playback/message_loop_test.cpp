#include "platform/message_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace kv::platform {
namespace {

class MessageLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock = std::make_shared<ManualClock>(1000);
    loop().SetClock(clock);
  }
  void TearDown() override { loop().SetClock(nullptr); }
  static MessageLoop& loop() { return MessageLoop::Current(); }

  std::shared_ptr<ManualClock> clock;
};

TEST_F(MessageLoopTest, TimerIsCreatedDisabledAndADisabledTimerNeverFires) {
  int ticks = 0;
  WindowTimer timer(100, [&] { ++ticks; });
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(loop().NextDue(), std::nullopt);
  clock->Advance(1000);
  EXPECT_FALSE(loop().ProcessPending());
  EXPECT_EQ(ticks, 0);
  // Nothing scheduled: a loop on the manual clock ends at once instead of waiting forever.
  EXPECT_FALSE(loop().RunUntil([&] { return ticks > 0; }));
  EXPECT_EQ(ticks, 0);
}

TEST_F(MessageLoopTest, EnabledTimerFiresEveryIntervalOnTheManualClock) {
  std::vector<int64_t> at;
  WindowTimer timer(100, [&] { at.push_back(loop().Now()); });
  timer.SetEnabled(true);
  EXPECT_EQ(loop().NextDue(), 1100);
  loop().RunUntil([&] { return at.size() == 3; });
  EXPECT_EQ(at, (std::vector<int64_t>{1100, 1200, 1300}));
  EXPECT_EQ(clock->NowMs(), 1300);
}

TEST_F(MessageLoopTest, NotDueYetDoesNotFire) {
  int ticks = 0;
  WindowTimer timer(100, [&] { ++ticks; });
  timer.SetEnabled(true);
  clock->Advance(99);
  loop().ProcessPending();
  EXPECT_EQ(ticks, 0);
  clock->Advance(1);
  loop().ProcessPending();
  EXPECT_EQ(ticks, 1);
}

TEST_F(MessageLoopTest, EnablingAgainRestartsTheInterval) {
  std::vector<int64_t> at;
  WindowTimer timer(100, [&] { at.push_back(loop().Now()); });
  timer.SetEnabled(true);
  clock->Advance(80);
  timer.SetEnabled(true);  // already enabled: restarts from now
  EXPECT_EQ(loop().NextDue(), 1180);
  clock->Advance(50);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  loop().RunUntil([&] { return !at.empty(); });
  EXPECT_EQ(at, (std::vector<int64_t>{1230}));
}

TEST_F(MessageLoopTest, AMissedIntervalFiresOnceNotOncePerInterval) {
  int ticks = 0;
  WindowTimer timer(100, [&] { ++ticks; });
  timer.SetEnabled(true);
  clock->Advance(1000);
  loop().ProcessPending();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(loop().NextDue(), 2100);
}

TEST_F(MessageLoopTest, HandlerMayDisableItsOwnTimer) {
  int ticks = 0;
  WindowTimer timer(100, nullptr);
  timer.SetOnTimer([&] {
    ++ticks;
    timer.SetEnabled(false);
  });
  timer.SetEnabled(true);
  loop().RunUntil(nullptr);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(loop().EnabledTimers(), 0u);
}

TEST_F(MessageLoopTest, HandlerMayDestroyItsOwnTimer) {
  int ticks = 0;
  auto timer = std::make_unique<WindowTimer>(100, nullptr);
  timer->SetOnTimer([&] {
    ++ticks;
    timer.reset();
  });
  timer->SetEnabled(true);
  loop().RunUntil(nullptr);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer);
}

TEST_F(MessageLoopTest, HandlerThatDestroysAnotherDueTimerKeepsItFromFiring) {
  int otherTicks = 0;
  std::unique_ptr<WindowTimer> other;
  WindowTimer first(100, [&] { other.reset(); });  // created first: runs first when both are due
  other = std::make_unique<WindowTimer>(100, [&] { ++otherTicks; });
  first.SetEnabled(true);
  other->SetEnabled(true);
  clock->Advance(100);
  loop().ProcessPending();
  EXPECT_EQ(otherTicks, 0);
  EXPECT_FALSE(other);
}

TEST_F(MessageLoopTest, HandlerThatDisablesAnotherDueTimerKeepsItFromFiring) {
  int otherTicks = 0;
  WindowTimer other(100, [&] { ++otherTicks; });
  WindowTimer first(50, [&] { other.SetEnabled(false); });
  other.SetEnabled(true);
  first.SetEnabled(true);
  clock->Advance(100);  // both due; first is due earlier and runs first
  loop().ProcessPending();
  EXPECT_EQ(otherTicks, 0);
  EXPECT_FALSE(other.Enabled());
}

TEST_F(MessageLoopTest, HandlerMayEnableAnotherTimerWhichStartsItsIntervalThen) {
  std::vector<int64_t> at;
  WindowTimer second(250, [&] { at.push_back(loop().Now()); });
  WindowTimer first(100, [&] {
    first.SetEnabled(false);
    second.SetEnabled(true);
  });
  first.SetEnabled(true);
  loop().RunUntil([&] { return !at.empty(); });
  EXPECT_EQ(at, (std::vector<int64_t>{1350}));
}

TEST_F(MessageLoopTest, DueTimersFireEarliestFirst) {
  std::vector<int> order;
  WindowTimer late(300, [&] { order.push_back(300); });
  WindowTimer early(100, [&] { order.push_back(100); });
  late.SetEnabled(true);
  early.SetEnabled(true);
  clock->Advance(300);
  loop().ProcessPending();
  EXPECT_EQ(order, (std::vector<int>{100, 300}));
}

TEST_F(MessageLoopTest, PostedCallsRunInOrderBeforeTimers) {
  std::vector<std::string> log;
  WindowTimer timer(100, [&] { log.push_back("timer"); });
  timer.SetEnabled(true);
  clock->Advance(100);
  loop().Post([&] {
    log.push_back("a");
    loop().Post([&] { log.push_back("c"); });  // waits for the next turn
  });
  loop().Post([&] { log.push_back("b"); });
  EXPECT_TRUE(loop().ProcessPending());
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "timer"}));
  EXPECT_TRUE(loop().ProcessPending());
  EXPECT_EQ(log.back(), "c");
  EXPECT_FALSE(loop().ProcessPending());
}

TEST_F(MessageLoopTest, ACallThatPostsItselfAgainDoesNotHoldTheLoop) {
  int runs = 0;
  std::function<void()> again = [&] {
    if (++runs < 3) loop().Post(again);
  };
  loop().Post(again);
  loop().ProcessPending();
  EXPECT_EQ(runs, 1);
  loop().ProcessPending();
  EXPECT_EQ(runs, 2);
  loop().RunUntil(nullptr);  // leaves nothing queued behind
  EXPECT_EQ(runs, 3);
}

TEST_F(MessageLoopTest, ModalLoopInsideAPostedCallKeepsTheQueuesOrder) {
  std::vector<std::string> log;
  loop().Post([&] {
    log.push_back("modal");
    loop().Post([&] { log.push_back("inner"); });
    loop().RunUntil([&] { return log.size() >= 3; });
  });
  loop().Post([&] { log.push_back("second"); });
  loop().RunUntil([&] { return log.size() >= 3; });
  EXPECT_EQ(log, (std::vector<std::string>{"modal", "second", "inner"}));
}

TEST_F(MessageLoopTest, PostFromAnotherThreadRunsOnTheLoopsThread) {
  const auto self = std::this_thread::get_id();
  std::thread::id ranOn;
  MessageLoop* target = &loop();
  std::thread poster([&] { target->Post([&] { ranOn = std::this_thread::get_id(); }); });
  poster.join();
  loop().ProcessPending();
  EXPECT_EQ(ranOn, self);
}

TEST_F(MessageLoopTest, TimersFireOnlyOnTheirOwnThread) {
  int mine = 0;
  WindowTimer timer(100, [&] { ++mine; });
  timer.SetEnabled(true);
  int theirs = 0;
  std::thread other([&] {
    auto otherClock = std::make_shared<ManualClock>(1000);
    MessageLoop::Current().SetClock(otherClock);
    WindowTimer own(100, [&] { ++theirs; });
    own.SetEnabled(true);
    otherClock->Advance(500);
    MessageLoop::Current().ProcessPending();  // the other thread's loop knows only its own
    EXPECT_EQ(MessageLoop::Current().EnabledTimers(), 1u);
  });
  other.join();
  EXPECT_EQ(theirs, 1);
  EXPECT_EQ(mine, 0);
  clock->Advance(100);
  loop().ProcessPending();
  EXPECT_EQ(mine, 1);
}

TEST_F(MessageLoopTest, ModalLoopInsideAHandlerKeepsTheThreadsTimersRunning) {
  std::vector<int64_t> background;
  WindowTimer bg(100, [&] { background.push_back(loop().Now()); });
  bool modalDone = false;
  WindowTimer opener(50, nullptr);
  opener.SetOnTimer([&] {
    opener.SetEnabled(false);
    // A modal dialog: runs its own loop until it closes 330 ms later.
    const int64_t closeAt = loop().Now() + 330;
    WindowTimer closer(330, [&] { modalDone = loop().Now() >= closeAt; });
    closer.SetEnabled(true);
    EXPECT_TRUE(loop().RunUntil([&] { return modalDone; }));
  });
  bg.SetEnabled(true);
  opener.SetEnabled(true);
  loop().RunUntil([&] { return modalDone; });
  EXPECT_EQ(background, (std::vector<int64_t>{1100, 1200, 1300}));
  EXPECT_EQ(clock->NowMs(), 1380);
  // And after the modal loop the outer one goes on with the same timers.
  loop().RunUntil([&] { return background.size() == 4; });
  EXPECT_EQ(background.back(), 1400);
}

TEST_F(MessageLoopTest, ATimerThatOpensAModalLoopIsNotReenteredByIt) {
  // The handler stays enabled, as a form's handler that opens a modal dialog may: the modal
  // loop runs the other timers but not this one, and does not spin on its overdue time.
  std::vector<int64_t> background;
  WindowTimer bg(100, [&] { background.push_back(loop().Now()); });
  int depth = 0, maxDepth = 0, opened = 0;
  WindowTimer opener(50, [&] {
    maxDepth = std::max(maxDepth, ++depth);
    if (opened++ == 0) loop().RunUntil(nullptr, 330);  // the modal dialog, open 330 ms
    --depth;
  });
  bg.SetEnabled(true);
  opener.SetEnabled(true);
  loop().RunUntil([&] { return opened == 2; });
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(background, (std::vector<int64_t>{1100, 1200, 1300}));
  // Overdue when the modal loop ended, it fires at once after its handler returned.
  EXPECT_EQ(clock->NowMs(), 1380);
}

TEST_F(MessageLoopTest, QuitEndsTheInnermostRunUntil) {
  WindowTimer timer(100, [&] { loop().Quit(); });
  timer.SetEnabled(true);
  EXPECT_FALSE(loop().RunUntil([] { return false; }));
  EXPECT_EQ(clock->NowMs(), 1100);
}

TEST_F(MessageLoopTest, TimeoutEndsRunUntilOnLoopTime) {
  int ticks = 0;
  WindowTimer timer(100, [&] { ++ticks; });
  timer.SetEnabled(true);
  EXPECT_FALSE(loop().RunUntil([] { return false; }, 350));
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(clock->NowMs(), 1350);
}

TEST_F(MessageLoopTest, TickCountFollowsTheLoopClock) {
  EXPECT_EQ(GetTickCount(), 1000u);
  clock->Advance(42);
  EXPECT_EQ(GetTickCount(), 1042u);
}

TEST_F(MessageLoopTest, TimerOutlivingItsThreadsLoopIsHarmless) {
  std::unique_ptr<WindowTimer> survivor;
  std::thread other([&] {
    survivor = std::make_unique<WindowTimer>(100, [] {});
    survivor->SetEnabled(true);
  });
  other.join();  // the other thread's loop is gone
  EXPECT_FALSE(survivor->Enabled());
  survivor->SetEnabled(true);
  EXPECT_FALSE(survivor->Enabled());
  survivor.reset();
}

}  // namespace
}  // namespace kv::platform
