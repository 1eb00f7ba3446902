// The GUI services of the dialogs: our message loop driven by the toolkit's, in modal loops and
// nested ones, and message boxes. Offscreen, on a manual clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <clocale>
#include <string>
#include <thread>

#include "dialogs/gui_application.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"

namespace kv::dialogs {
namespace {

using platform::MessageLoop;
using platform::WindowTimer;

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(EnsureApplication(), GuiStatus::Ready);
    MessageLoop::Current().SetClock(clock);
  }
  void TearDown() override { MessageLoop::Current().SetClock(nullptr); }
  // Closes every open dialog after ten real seconds, so that a fault fails instead of hanging.
  void Watchdog() {
    QTimer::singleShot(10000, qApp, [] {
      while (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
  }
  std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>(1000);
};

TEST_F(GuiTest, TheApplicationLeavesNumbersInTheCFormAndStaysOnItsThread) {
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
  GuiStatus other = GuiStatus::Ready;
  std::thread([&] { other = EnsureApplication(); }).join();
  EXPECT_EQ(other, GuiStatus::WrongThread);
}

TEST_F(GuiTest, OurTimersAndPostedCallsRunInModalLoopsAndInLoopsNestedInThem) {
  QDialog outer, inner;
  Watchdog();
  int ticks = 0, innerTicks = 0, opened = 0;
  std::atomic<bool> posted = false;
  WindowTimer ticker(100, [&] {
    ++ticks;
    innerTicks += inner.isVisible();
    if (ticks == 5) inner.done(0);
    if (ticks == 8 && posted) outer.done(0);
  });
  WindowTimer opener(250, nullptr);
  opener.SetOnTimer([&] {
    opener.SetEnabled(false);
    ++opened;
    inner.exec();  // a form opened by one of our timers' handlers
  });
  ticker.SetEnabled(true);
  opener.SetEnabled(true);
  MessageLoop& loop = MessageLoop::Current();
  std::thread([&] { loop.Post([&] { posted = true; }); }).join();
  outer.exec();
  EXPECT_GE(ticks, 8);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(innerTicks, 3) << "ticks 3, 4 and 5 came while the nested form was open";
  EXPECT_TRUE(posted);
}

TEST_F(GuiTest, MessagesAreShownInAMessageBoxWithCzechCaptions) {
  Watchdog();
  QString text, button;
  QTimer::singleShot(0, qApp, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    button = box->buttons().value(0)->text();
    box->accept();
  });
  platform::ShowMessage("Chyba p\xF8i inicializaci");  // Windows-1250
  EXPECT_EQ(text, QString::fromUtf8("Chyba při inicializaci"));
  EXPECT_EQ(button, QStringLiteral("OK"));
}

}  // namespace
}  // namespace kv::dialogs
