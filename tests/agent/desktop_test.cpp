// The agent unit with its form: against the recording fake, and offscreen with the real
// character speaking through the registered engine on a manual clock.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>
#include <cstdlib>

#include "agent/desktop_control.h"
#include "dialogs/gui_application.h"
#include "dialogs/qt/dictionary_editor_form.h"
#include "installer/qt/agent_form.h"
#include "installer/qt/agent_seam.h"
#include "installer/engine_setup.h"
#include "installer/qt/main_form.h"
#include "platform/com.h"
#include "platform/cp1250.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/sound.h"
#include "synth/own_voice.h"
#include "tests/agent/recording_agent.h"
#include "tests/support/test_prefix.h"

namespace kv::installer {
namespace {

using Log = std::vector<std::string>;

com::HRESULT CallExport(const char* name) {
  std::shared_ptr<com::InprocServer> server;
  if (com::InprocServer::FromFile(KV_TTSE_PATH, &server) != com::S_OK) return com::E_FAIL;
  auto function = reinterpret_cast<com::DllRegisterServerFn>(server->Symbol(name));
  return function != nullptr ? function() : com::E_FAIL;
}

std::vector<std::string> Items(const QComboBox& box) {
  std::vector<std::string> items;
  for (int i = 0; i < box.count(); ++i) items.push_back(box.itemText(i).toStdString());
  return items;
}

// The character over another window as the X screen shows it, cut by its shape mask and not.
void SaveCharacterOnTheScreen(agent::CharacterWindow& window, const QString& folder) {
  QWidget backdrop;
  backdrop.setStyleSheet("background: #c8d8e8");
  backdrop.setGeometry(0, 0, 420, 380);
  backdrop.show();
  window.move(100, 40);
  window.raise();
  auto settle = [] {
    for (int i = 0; i < 30; ++i) QApplication::processEvents(), ::usleep(10000);
  };
  for (bool masked : {false, true}) {
    window.UseShapeMask(masked);
    settle();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, 0, 0, 420, 380)
        .save(folder + (masked ? "character-on-screen.png" : "character-on-screen-unmasked.png"));
  }
}

class AgentUnitTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ResetPrefix();
    dialogs::InstallGuiServices();
    platform::SetMessagePresenter([](const std::string&) {});  // no modal boxes in a test
    platform::MessageLoop::Current().SetClock(clock);
    auto backend = std::make_unique<platform::CaptureBackend>();
    capture = backend.get();
    previous = platform::SetSoundBackend(std::move(backend));
    ASSERT_EQ(CallExport("DllRegisterServer"), com::S_OK);
    OwnVoiceActive = false;
    AgentEnabled = false;
  }
  void TearDown() override {
    AgentShutdown();
    SetAgentControlFactory({});
    CallExport("DllUnregisterServer");
    platform::SetSoundBackend(std::move(previous));
    platform::MessageLoop::Current().SetClock(nullptr);
    platform::SetMessagePresenter({});
  }
  test::RecordingControl* UseFake() {
    static test::RecordingControl* made = nullptr;
    SetAgentControlFactory([] {
      auto control = std::make_unique<test::RecordingControl>();
      made = control.get();
      return control;
    });
    AgentCommand({""});
    return made;
  }
  bool Run(const std::function<bool()>& done) {
    return platform::MessageLoop::Current().RunUntil(done, 60000);
  }

  std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>(1000);
  platform::CaptureBackend* capture = nullptr;
  std::unique_ptr<platform::SoundBackend> previous;
};

TEST_F(AgentUnitTest, FirstCommandCreatesTheFormAndLoadsTheCharacter) {
  AgentEnabled = true;
  OwnVoiceActive = true;  // the agent wanted: the own voice gives way
  test::RecordingControl* control = UseFake();
  EXPECT_FALSE(OwnVoiceActive);
  ASSERT_TRUE(AgentFormExists());
  ASSERT_EQ(control->characters.size(), 1u);
  test::RecordingCharacter& character = control->characters.begin()->second;
  EXPECT_EQ(character.mode, "{3FF7410C-A888-4A67-BAFC-55FAF3C5424D}");
  EXPECT_EQ(std::count_if(character.log.begin(), character.log.end(),
                          [](const std::string& l) { return l.starts_with("Command "); }),
            4);
  character.log.clear();
  AgentCommand({"}2Dobrý den", "~wave"});
  EXPECT_EQ(character.log,
            (Log{"Mode {3FF7410D-A888-4A67-BAFC-55FAF3C5424D}", "Speak Dobrý den", "Play WAVE"}));
}

TEST_F(AgentUnitTest, CharacterThatStoppedAnsweringIsLoadedAgainAndTheListDropped) {
  AgentEnabled = true;
  test::RecordingControl* control = UseFake();
  control->characters.begin()->second.dead = true;
  AgentCommand({"lost"});
  EXPECT_EQ(
      std::count(control->log.begin(), control->log.end(), "Load " + AgentForm->CharacterId + " "),
      2);
  EXPECT_TRUE(control->characters.begin()->second.log.size() == 5);  // mode and menu only
  AgentCommand({"again"});
  EXPECT_EQ(control->characters.begin()->second.log.back(), "Speak again");
}

TEST_F(AgentUnitTest, OwnVoiceLeavesTheAgentUnstarted) {
  OwnVoiceActive = true;
  AgentCommand({"~SHOW", "{myšlenka"});
  EXPECT_FALSE(AgentFormExists());
  OwnVoiceActive = false;
  AgentCommand({"text"});  // neither wanted: nothing at all
  EXPECT_FALSE(AgentFormExists());
}

TEST_F(AgentUnitTest, CharacterSpeaksThroughTheEngineWithItsWordsInTheBalloon) {
  agent::DesktopControl control;
  ASSERT_TRUE(control.SetConnected(true));
  ASSERT_EQ(control.Load("test", ""), 0);
  auto* character = static_cast<agent::DesktopCharacter*>(control.Character("test"));
  std::vector<QString> balloons;
  character->Window().onBalloonChanged = [&](const QString& text) { balloons.push_back(text); };
  character->Show();
  character->Speak(cp1250::FromUtf8Lenient("Dobrý den, jak se máte?"));
  EXPECT_FALSE(character->Window().isVisible());  // requests run later, on the loop
  ASSERT_TRUE(Run([&] { return !character->Busy(); }));
  EXPECT_TRUE(character->Visible());
  EXPECT_FALSE(capture->Records().empty());
  // Each word joins the balloon in order, until the whole sentence stands there.
  const std::vector<QString> expected = {"Dobrý", "Dobrý den,", "Dobrý den, jak",
                                         "Dobrý den, jak se", "Dobrý den, jak se máte?"};
  std::vector<QString> words;
  for (const QString& b : balloons)
    if (!b.isEmpty() && (words.empty() || words.back() != b)) words.push_back(b);
  EXPECT_EQ(words, expected);
  // The engine counts on across texts; the next text's words still come one by one, a line
  // break ends a word and the tags stay out of sight.
  balloons.clear();
  character->Speak(cp1250::FromUtf8Lenient("\\ton=1\\Ahoj\nsvě\\ton=0\\te,  jak je?"));
  ASSERT_TRUE(Run([&] { return !character->Busy(); }));
  words.clear();
  for (const QString& b : balloons)
    if (!b.isEmpty() && (words.empty() || words.back() != b)) words.push_back(b);
  EXPECT_EQ(words, (std::vector<QString>{"Ahoj", "Ahoj\nsvěte,", "Ahoj\nsvěte,  jak",
                                         "Ahoj\nsvěte,  jak je?"}))
      << words.back().toStdString();
  character->Hide();
  ASSERT_TRUE(Run([&] { return !character->Busy(); }));
  EXPECT_FALSE(character->Visible());
}

TEST_F(AgentUnitTest, SayProceduresShowAHiddenCharacterWhileItSpeaks) {
  AgentEnabled = true;
  AgentCommand({""});  // the form is never shown: the character stays hidden
  ASSERT_TRUE(CharacterLoaded);
  auto* character = static_cast<agent::DesktopCharacter*>(AgentForm->Character);
  for (void (*say)(const std::string&) : {&SayThroughAgent, &SayFromAgentForm}) {
    character->Hide();
    ASSERT_TRUE(Run([&] { return !character->Busy(); }));
    ASSERT_FALSE(character->Visible());
    bool seenSpeaking = false;
    character->Window().onBalloonChanged = [&](const QString& text) {
      seenSpeaking = seenSpeaking || (!text.isEmpty() && character->Visible());
    };
    say("Ahoj.");
    ASSERT_TRUE(Run([&] { return !character->Busy(); }));
    EXPECT_TRUE(seenSpeaking);
  }
}

TEST_F(AgentUnitTest, FormListsOurVoicesAndTheCharacterFiles) {
  AgentEnabled = true;
  AgentCommand({""});
  ASSERT_TRUE(AgentFormExists());
  ASSERT_TRUE(CharacterLoaded);
  AgentForm->show();
  ASSERT_TRUE(Run([&] { return AgentForm->Status->text() == "Status : Initialization Ok"; }));
  EXPECT_EQ(Items(*AgentForm->HlasNames), (Log{"DAVLa", "DAVLuska", "DAVL"}));
  EXPECT_EQ(Items(*AgentForm->MSAgentNames), (Log{"DEFAULT", "KORALKA", "ROBIK"}));
  auto* character = static_cast<agent::DesktopCharacter*>(AgentForm->Character);
  ASSERT_TRUE(Run([&] { return !character->Busy(); }));  // shown, and waved
  EXPECT_TRUE(character->Visible());
  AgentForm->ButtonSlovnikClick();  // the installed library's dictionary, as the main form's
  EXPECT_EQ(dialogs::DictionaryFileName, EngineDictionaryPath());
  // Pictures for the documentation, when asked for.
  if (const char* dir = std::getenv("KV_AGENT_SCREENSHOTS")) {
    const QString folder = QString::fromUtf8(dir) + "/";
    AgentForm->grab().save(folder + "agent-form.png");
    auto& window = character->Window();
    AgentCommand({cp1250::FromUtf8Lenient("Dobrý den, jak se máte?")});
    Run([&] { return window.BalloonText().contains("jak"); });
    window.grab().save(folder + "character-speaking.png");
    AgentCommand(
        {cp1250::FromUtf8Lenient("STOPALL^m{Zase mi chtějí měnit vlastnosti...?"), "~thinking"});
    Run([&] { return window.BalloonKind() == agent::CharacterWindow::Balloon::Thought; });
    window.grab().save(folder + "character-thinking.png");
    if (QGuiApplication::platformName() == "xcb") SaveCharacterOnTheScreen(window, folder);
  }
}

TEST_F(AgentUnitTest, TestMSAgentShowsTheCharacterSpeakingTheTestText) {
  TForm_tts_Install form;
  form.Memo1->setPlainText("Ahoj světe.");
  form.TestMSAgentClick();
  ASSERT_TRUE(CharacterLoaded);
  auto* character = static_cast<agent::DesktopCharacter*>(AgentForm->Character);
  QString last;
  character->Window().onBalloonChanged = [&](const QString& text) {
    if (!text.isEmpty()) last = text;
  };
  ASSERT_TRUE(Run([&] { return !character->Busy(); }));
  EXPECT_TRUE(character->Visible());
  EXPECT_EQ(last, QString::fromUtf8("Ahoj světe."));
  EXPECT_FALSE(capture->Records().empty());
  // The installer keeps the library it spoke with mapped; that use does not bar uninstalling.
  AgentShutdown();
  EXPECT_TRUE(UninstallEngine());
}

TEST_F(AgentUnitTest, CharacterFilesReadLenientlyAndFoundWithoutRegardToCase) {
  const agent::CharacterLook look = agent::ParseCharacter(
      "Name=X\nWidth=9999\nHeight=150\nBody=#12\nFace=#00FF00\nAnimations= wave , read\n");
  EXPECT_EQ(look.name, "X");
  EXPECT_EQ(look.width, agent::DefaultLook().width);  // out of range: kept
  EXPECT_EQ(look.height, 150);
  EXPECT_EQ(look.body, agent::DefaultLook().body);
  EXPECT_EQ(look.face, 0x00FF00u);
  EXPECT_EQ(look.animations, (Log{"WAVE", "READ"}));
  agent::DesktopControl control;
  EXPECT_EQ(control.Load("a", "robik.acs"), agent::DesktopControl::kNotConnected);
  ASSERT_TRUE(control.SetConnected(true));
  EXPECT_EQ(control.Load("a", "robik.acs"), 0);
  EXPECT_EQ(control.Character("a")->Height(), 136 + agent::CharacterWindow::kBalloonHeight);
  agent::CharacterWindow& window =
      static_cast<agent::DesktopCharacter*>(control.Character("a"))->Window();
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Robík"));
  // Cut to the figure, and to the balloon while there is one.
  window.UseShapeMask(true);
  const QPoint corner(0, window.height() - 1), figure(window.width() / 2, window.height() - 40),
      balloon(window.width() / 2, 20);
  EXPECT_FALSE(window.mask().contains(corner));
  EXPECT_TRUE(window.mask().contains(figure));
  EXPECT_FALSE(window.mask().contains(balloon));
  window.SetBalloon(agent::CharacterWindow::Balloon::Speech, "Ahoj");
  EXPECT_TRUE(window.mask().contains(balloon));
  EXPECT_EQ(control.Load("b", "NONE.ACS"), agent::DesktopControl::kFileNotFound);
  EXPECT_EQ(control.Character("b"), nullptr);
}

}  // namespace
}  // namespace kv::installer

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
