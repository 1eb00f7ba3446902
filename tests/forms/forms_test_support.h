// What the form tests share: a manual clock on this thread's message loop, an engine
// instance stand-in that records what it was asked to say, and registry look-ups.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/logic/calling_mode.h"
#include "platform/message_loop.h"
#include "platform/registry.h"
#include "tests/support/test_prefix.h"

namespace kv::test {

class RecordingMode : public dialogs::CallingMode {
 public:
  void Say(const std::string& text) override { said.push_back(text); }
  std::string DictionaryFile() const override { return dictionary; }
  std::vector<std::string> said;
  std::string dictionary;
};

class FormTest : public ::testing::Test {
 protected:
  FormTest() : clock_(std::make_shared<platform::ManualClock>(1000)) {
    ResetPrefix();
    platform::MessageLoop::Current().SetClock(clock_);
  }
  ~FormTest() override { platform::MessageLoop::Current().SetClock(nullptr); }

  // Moves the clock on and runs the timers that came due.
  void Pass(int64_t ms) {
    clock_->Advance(ms);
    platform::MessageLoop::Current().ProcessPending();
  }

  std::shared_ptr<platform::ManualClock> clock_;
};

// Types text into a widget key by key, letters outside ASCII included.
inline void Type(QWidget* widget, const QString& text) {
  for (QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

// Every control that takes the focus has a name a screen reader would speak (its own, or
// the text Qt derives from its caption).
inline void ExpectEveryControlNamed(QWidget& form) {
  for (QWidget* w : form.findChildren<QWidget*>()) {
    const bool focusable = w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(&form);
    // The tab bar's tabs carry the page captions; the inner parts of composite controls
    // are named through their control.
    if (!focusable || w->inherits("QTabBar") || w->parent()->inherits("QComboBox") ||
        w->parent()->inherits("QAbstractScrollArea"))
      continue;
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
        << w->metaObject()->className() << " " << w->objectName().toStdString();
  }
}

// A value of a key (Windows-1250 names), nullopt when missing.
inline std::optional<std::string> StoredString(platform::RootKey root, const std::string& key,
                                               const std::string& name) {
  platform::Registry reg(root);
  if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return std::nullopt;
  return reg.ReadString(name);
}

inline std::optional<int32_t> StoredDWord(platform::RootKey root, const std::string& key,
                                          const std::string& name) {
  platform::Registry reg(root);
  if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return std::nullopt;
  return reg.ReadInteger(name);
}

}  // namespace kv::test
