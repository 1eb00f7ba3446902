// The main window's logic behind a face that records what it is told: the decisions both
// windows share, without a toolkit.
#include "installer/logic/main_form_logic.h"

#include <gtest/gtest.h>

#include "installer/engine_setup.h"
#include "installer/installer_texts.h"
#include "installer/reg_work.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/sound.h"
#include "synth/own_voice.h"
#include "tests/support/test_prefix.h"

namespace kv::installer {
namespace {
namespace fs = std::filesystem;

struct RecordingFace : MainFormFace {
  std::string statusTts, statusRekniTo, hint, version, word, caption = "Test MSAgent";
  std::string testText = "Testovací text";
  bool installEnabled = true, installChecked = false, prectiEnabled = false, prectiChecked = false;
  bool speak = false, pagesEnabled = false, installerPageShown = false, infoActive = false;
  std::vector<EngineRow> rows;
  std::string details;
  fs::path infoPage, dictionary;
  MainFormLogic* logic = nullptr;

  void SetStatusTts(const std::string& t, bool) override { statusTts = t; }
  void SetStatusRekniTo(const std::string& t, bool) override { statusRekniTo = t; }
  void SetInstallBoxEnabled(bool e) override { installEnabled = e; }
  bool InstallBoxEnabled() const override { return installEnabled; }
  void SetInstallBoxChecked(bool c) override { installChecked = c; }
  bool InstallBoxChecked() const override { return installChecked; }
  void SetPrectiToEnabled(bool e) override { prectiEnabled = e; }
  void SetPrectiToChecked(bool c) override { prectiChecked = c; }
  bool PrectiToChecked() const override { return prectiChecked; }
  void SetSpeakBox(bool c) override {
    if (c == speak) return;
    speak = c;
    logic->RikatClick();
  }
  bool SpeakBoxChecked() const override { return speak; }
  void SetLibraryHint(const std::string& h) override { hint = h; }
  void SetVersionMessage(const std::string& t) override { version = t; }
  void ShowInstallerPage() override { installerPageShown = true; }
  void SetEngineRows(const std::vector<EngineRow>& r) override { rows = r; }
  void SetEngineDetails(const std::string& n, const std::string& c) override { details = n + c; }
  void SetTestText(const std::string& t) override { testText = t; }
  std::string TestText() const override { return testText; }
  void SetAgentButtonCaption(const std::string& c) override { caption = c; }
  std::string AgentButtonCaption() const override { return caption; }
  void SetUninitEnabled(bool) override {}
  void StopStartTimer() override {}
  void StartStartTimer(int) override {}
  void StartPosTimer() override {}
  void PlayAnimation(int) override {}
  void SetBusyCursor(bool) override {}
  void EnablePagesAndOk() override { pagesEnabled = true; }
  void SetSpokenWord(const std::string& t) override { word = t; }
  void SetWaveShown(bool) override {}
  void DrawWave(const MemoryStream&) override {}
  bool InfoPageActive() const override { return infoActive; }
  void ShowInfoPage(const fs::path& f) override { infoPage = f; }
  void OpenDictionaryEditor(const fs::path& d) override { dictionary = d; }
  void OpenVoiceProperties() override {}
};

struct NoAgent : AgentPort {
  bool enabled = false;
  int commands = 0;
  void SetEnabled(bool e) override { enabled = e; }
  void Command(const std::vector<AgentArgument>&) override { ++commands; }
  void Shutdown() override {}
  bool FormExists() const override { return false; }
  bool CharacterLoaded() const override { return false; }
  void ShowProperties() override {}
};

class MainFormLogicTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ResetPrefix();
    platform::SetMessagePresenter([this](const std::string& text) { messages.push_back(text); });
    previous = platform::SetSoundBackend(std::make_unique<platform::CaptureBackend>());
    OwnVoiceActive = false;
  }
  void TearDown() override {
    SayOwn("");
    platform::SetSoundBackend(std::move(previous));
    platform::SetMessagePresenter({});
  }
  // A window made after the prefix is set up, through its first start-up tick.
  std::unique_ptr<MainFormLogic> Start() {
    auto logic = std::make_unique<MainFormLogic>(face, agent);
    face.logic = logic.get();
    logic->Timer1Timer();
    return logic;
  }

  RecordingFace face;
  NoAgent agent;
  std::vector<std::string> messages;
  std::unique_ptr<platform::SoundBackend> previous;
};

TEST_F(MainFormLogicTest, WithoutTheRuntimeTheBoxIsOffTheMessageShownAndTheOwnVoiceTakesOver) {
  auto logic = Start();
  EXPECT_FALSE(face.installEnabled);
  ASSERT_EQ(messages, std::vector<std::string>{Cp(texts::kNoRuntime)});
  EXPECT_TRUE(OwnVoiceActive);
  EXPECT_TRUE(face.pagesEnabled);
  EXPECT_TRUE(agent.enabled);
  EXPECT_EQ(face.statusTts, Cp("Nenainstalováno"));
}

TEST_F(MainFormLogicTest, InstallSwitchUninstallThroughTheBoxesAndRows) {
  InstallRuntime();
  RegWriteBool(platform::HKEY_LOCAL_MACHINE, names::kSettingsKey, names::kSpeakValue, true);
  auto logic = Start();
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(face.speak);
  EXPECT_TRUE(OwnVoiceActive);  // the stored "Mluvit"

  face.installChecked = true;
  logic->TTS_KORVEN_INSTALEDClick();
  EXPECT_EQ(face.statusTts, Cp("Nainstalována verze 1.1.1.73"));
  EXPECT_TRUE(face.prectiEnabled);
  EXPECT_NE(face.version.find(Cp("KORVEN TTS engin je nainstalován.")), std::string::npos);
  ASSERT_EQ(face.rows.size(), 1u);
  logic->CheckListBox1Click(0);
  EXPECT_EQ(face.details,
            "Registry internal Name : KORVEN TTS EngineCLSID : " + std::string(names::kClsid));
  logic->CheckListBox1ClickCheck(0, false);
  EXPECT_FALSE(EngineListed());
  logic->CheckListBox1ClickCheck(0, true);
  EXPECT_TRUE(EngineListed());
  logic->CheckListBox1ClickCheck(5, false);  // no such row: nothing

  face.prectiChecked = true;
  logic->Precti_toClick();
  EXPECT_EQ(face.statusRekniTo, Cp("Nainstalováno"));

  logic->ButtonSlovnikClick();
  EXPECT_EQ(face.dictionary, EngineDictionaryPath());
  face.installChecked = false;
  logic->TTS_KORVEN_INSTALEDClick();
  EXPECT_FALSE(fs::exists(EnginePath()));
  EXPECT_TRUE(fs::exists(EngineDictionaryPath()));
  EXPECT_EQ(face.statusTts, Cp("Nenainstalováno"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainFormLogicTest, TheAgentButtonTogglesAndTheInfoPageAndTestTextOutliveTheWindow) {
  {
    auto logic = Start();
    logic->TestMSAgentClick();
    EXPECT_EQ(face.caption, "Uninit MSA");
    EXPECT_EQ(agent.commands, 1);
    logic->TestMSAgentClick();
    EXPECT_EQ(face.caption, "Test MSAgent");
    EXPECT_FALSE(agent.enabled);

    logic->PageControl1Change();  // another page: nothing written
    EXPECT_TRUE(face.infoPage.empty());
    face.infoActive = true;
    logic->PageControl1Change();
    EXPECT_EQ(face.infoPage, MainFormLogic::InfoPagePath());
    EXPECT_TRUE(fs::exists(face.infoPage));
    face.testText = Cp("Příliš žluťoučký kůň.");
    logic->FormDestroy();
    EXPECT_FALSE(fs::exists(face.infoPage));
  }
  face.testText.clear();
  auto logic = Start();
  EXPECT_EQ(face.testText, Cp("Příliš žluťoučký kůň."));
}

}  // namespace
}  // namespace kv::installer
