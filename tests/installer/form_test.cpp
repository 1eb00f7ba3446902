// The installer's window offscreen: start-up ticks run by hand, message boxes collected,
// the own voice captured on a manual clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "dialogs/gui_application.h"
#include "dialogs/qt/dictionary_editor_form.h"
#include "installer/engine_setup.h"
#include "installer/installer_texts.h"
#include "installer/qt/main_form.h"
#include "installer/reg_work.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "synth/own_voice.h"
#include "tests/support/test_prefix.h"

namespace kv::installer {
namespace {

class InstallerFormTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ResetPrefix();
    dialogs::InstallGuiServices();
    platform::SetMessagePresenter([this](const std::string& text) { messages.push_back(text); });
    platform::MessageLoop::Current().SetClock(clock);
    auto backend = std::make_unique<platform::CaptureBackend>();
    capture = backend.get();
    previous = platform::SetSoundBackend(std::move(backend));
    OwnVoiceActive = false;
  }
  void TearDown() override {
    SayOwn("");
    platform::SetSoundBackend(std::move(previous));
    platform::MessageLoop::Current().SetClock(nullptr);
    platform::SetMessagePresenter({});
  }

  std::vector<std::string> messages;
  std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>(1000);
  platform::CaptureBackend* capture = nullptr;
  std::unique_ptr<platform::SoundBackend> previous;
};

TEST_F(InstallerFormTest, WithoutTheRuntimeTheInstallBoxIsOffAndTheMessageShown) {
  TForm_tts_Install form;
  form.Timer1Timer();
  EXPECT_FALSE(form.TTS_KORVEN_INSTALED->isEnabled());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], Cp(texts::kNoRuntime));
  EXPECT_TRUE(OwnVoiceActive);
  EXPECT_TRUE(form.PageControl1->isEnabled());
  EXPECT_TRUE(form.ButtonOk->isEnabled());
}

TEST_F(InstallerFormTest, GreetsWhenMluvitIsTrueAndInstallsThroughTheBox) {
  InstallRuntime();
  RegWriteBool(platform::HKEY_LOCAL_MACHINE, names::kSettingsKey, names::kSpeakValue, true);
  TForm_tts_Install form;
  form.Timer1Timer();
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(form.Rikat->isChecked());
  platform::MessageLoop::Current().RunUntil([&] { return form.ST->text() != "><"; }, 5000);
  EXPECT_FALSE(capture->Records().empty());
  EXPECT_TRUE(form.ST->text().startsWith(">ahoj")) << form.ST->text().toStdString();
  EXPECT_TRUE(form.IM->isVisibleTo(form.TabSheet1));

  EXPECT_EQ(form.Status_tts->text(), QString::fromUtf8("Nenainstalováno"));
  form.TTS_KORVEN_INSTALED->setChecked(true);
  EXPECT_TRUE(std::filesystem::exists(EnginePath()));
  EXPECT_EQ(form.Status_tts->text(), QString::fromUtf8("Nainstalována verze 1.1.1.73"));
  EXPECT_TRUE(form.Precti_to->testAttribute(Qt::WA_ForceDisabled) == false);
  // Switching the engine off in the list takes it off the engine list.
  ASSERT_EQ(form.CheckListBox1->count(), 1);
  EXPECT_EQ(form.CheckListBox1->item(0)->text(), "KORVEN TTS Engine (Czech)");
  form.CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
  EXPECT_FALSE(EngineListed());
  form.CheckListBox1->item(0)->setCheckState(Qt::Checked);
  EXPECT_TRUE(EngineListed());

  // The dictionary editor edits the installed engine's dictionary.
  form.ButtonSlovnik->click();
  EXPECT_EQ(dialogs::DictionaryFileName, platform::ChangeFileExt(EnginePath(), ".dct"));
  form.TTS_KORVEN_INSTALED->setChecked(false);
  EXPECT_FALSE(std::filesystem::exists(EnginePath()));
}

TEST_F(InstallerFormTest, TestTextSurvivesARestart) {
  {
    TForm_tts_Install form;
    form.Timer1Timer();
    form.Memo1->setPlainText(QString::fromUtf8("Příliš žluťoučký kůň."));
    form.PageControl1->setCurrentWidget(form.TabSheet2);  // the info page is written and shown
    EXPECT_TRUE(std::filesystem::exists(TForm_tts_Install::InfoPagePath()));
    EXPECT_TRUE(form.WebBrowser1->toPlainText().contains(QString::fromUtf8("Hlasový výstup")));
  }
  EXPECT_FALSE(std::filesystem::exists(TForm_tts_Install::InfoPagePath()));
  TForm_tts_Install form;
  form.Timer1Timer();
  EXPECT_EQ(form.Memo1->toPlainText(), QString::fromUtf8("Příliš žluťoučký kůň."));
}

// WCAG's contrast ratio of two colours.
double Contrast(const QColor& a, const QColor& b) {
  auto luminance = [](const QColor& c) {
    auto channel = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(InstallerFormTest, TheSpokenWordIsReadableAndTheVersionMessageIsShownWhole) {
  TForm_tts_Install form;
  form.Timer1Timer();
  form.show();
  // The best-contrasted pixel of the word against the gradient behind it.
  const QImage image = form.grab().toImage();
  const QRect st = form.ST->geometry();
  double best = 1;
  for (int y = st.top(); y <= st.bottom(); ++y)
    for (int x = st.left(); x <= st.right(); ++x)
      best = std::max(best, Contrast(image.pixelColor(x, y), QColor(0, 255 - y / 2, 239 - y / 2)));
  EXPECT_GE(best, 4.5);

  auto fitsWhole = [&] {
    QLabel* info = form.LabelInfo;
    EXPECT_LE(info->heightForWidth(info->width()), info->height()) << info->text().toStdString();
    EXPECT_LE(info->geometry().bottom(), form.PageControl1->geometry().top());
  };
  fitsWhole();  // not installed
  InstallRuntime();
  form.Timer1Timer();
  form.TTS_KORVEN_INSTALED->setChecked(true);
  form.LLClick();
  EXPECT_TRUE(
      form.LabelInfo->text().contains(QString::fromUtf8("KORVEN TTS engin je nainstalován.")));
  fitsWhole();
}

}  // namespace
}  // namespace kv::installer

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
