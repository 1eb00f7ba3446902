// The forms' logic over stand-in controls: what reaches the registry and the speaker, and
// when, without any toolkit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <memory>

#include "dialogs/logic/calling_mode.h"
#include "dialogs/logic/collation.h"
#include "dialogs/logic/dictionary_editor_logic.h"
#include "dialogs/logic/voice_properties_logic.h"
#include "platform/message_loop.h"
#include "platform/registry.h"
#include "tests/support/test_prefix.h"

namespace kv::dialogs {
namespace {

using platform::HKEY_LOCAL_MACHINE;

const std::string kVoices = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS\\";

std::optional<std::string> Stored(platform::RootKey root, const std::string& key,
                                  const std::string& name) {
  platform::Registry reg(root);
  if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return std::nullopt;
  if (reg.GetDataType(name) == platform::ValueType::DWord)
    return std::to_string(reg.ReadInteger(name));
  return reg.ReadString(name);
}

class ClockedTest : public ::testing::Test {
 protected:
  ClockedTest() : clock_(std::make_shared<platform::ManualClock>(1000)) {
    test::ResetPrefix();
    platform::MessageLoop::Current().SetClock(clock_);
  }
  ~ClockedTest() override { platform::MessageLoop::Current().SetClock(nullptr); }
  void Pass(int64_t ms) {
    clock_->Advance(ms);
    platform::MessageLoop::Current().ProcessPending();
  }
  std::shared_ptr<platform::ManualClock> clock_;
};

struct FakeVoiceControls : VoicePropertiesControls {
  int voice = 0;
  std::map<VoiceBar, int> bars{{VoiceBar::Volume, 50},     {VoiceBar::Speed, 100},
                               {VoiceBar::Pith, -20},      {VoiceBar::Echo_Volume, 20},
                               {VoiceBar::Echo_delay, 20}, {VoiceBar::Echo_tracsk, 2}};
  std::map<VoiceCheck, bool> checks;
  std::map<VoiceBar, std::string> shown;
  std::pair<int, int> band;
  std::u16string text = u"Testovací text 1, 2, 3.";
  std::string page = "TabSheetIntonace";
  bool speakEnabled = true;
  std::vector<std::string> told;
  VoicePropertiesLogic* logic = nullptr;

  int SelectedVoice() const override { return voice; }
  int Position(VoiceBar bar) const override { return bars.at(bar); }
  void SetPosition(VoiceBar bar, int position) override {
    if (std::exchange(bars[bar], position) != position) logic->BarChanged(bar);
  }
  bool Checked(VoiceCheck box) const override { return checks.count(box) && checks.at(box); }
  void SetChecked(VoiceCheck box, bool checked) override { checks[box] = checked; }
  void SetPitchBand(int start, int end) override { band = {start, end}; }
  void ShowValue(VoiceBar bar, const std::string& value) override { shown[bar] = value; }
  std::u16string TestText() const override { return text; }
  void SetTestText(const std::u16string& t) override { text = t; }
  std::string ActivePage() const override { return page; }
  void SetActivePage(const std::string& name) override { page = name; }
  void EnableSpeakButton(bool enabled) override { speakEnabled = enabled; }
  void TellUser(const std::string& utf8) override { told.push_back(utf8); }
};

class VoiceLogic : public ClockedTest {
 protected:
  VoiceLogic() {
    controls.logic = &logic;
    logic.OnSay = [this](const std::string& text) { said.push_back(text); };
    logic.Start();
    Pass(800);
  }
  void Move(VoiceBar bar, int position) { controls.SetPosition(bar, position); }

  FakeVoiceControls controls;
  VoicePropertiesLogic logic{controls};
  std::vector<std::string> said;
};

TEST_F(VoiceLogic, TheTimerStoresAndSpeaksOnce800MsAfterTheLastMove) {
  platform::Registry reg(HKEY_LOCAL_MACHINE);
  reg.OpenKey(kVoices + "DAVLa", true);
  reg.DeleteValue("Values_Changed");
  controls.checks[VoiceCheck::Rikat] = true;
  for (int position = 51; position <= 55; ++position) {
    Move(VoiceBar::Volume, position);
    Pass(500);
  }
  EXPECT_FALSE(Stored(HKEY_LOCAL_MACHINE, kVoices + "DAVLa", "Values_Changed"));
  EXPECT_TRUE(said.empty());
  Pass(300);
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kVoices + "DAVLa", "Values_Changed"), "1");
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kVoices + "DAVLa", "Volume_Position"), "55");
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kVoices + "DAVLa", "FormVersion"), "0");
  EXPECT_EQ(said, std::vector<std::string>{"}1Testovac\xED text 1, 2, 3."});
  EXPECT_EQ(controls.shown[VoiceBar::Volume], "55%");
  Move(VoiceBar::Speed, 150);
  EXPECT_EQ(controls.shown[VoiceBar::Speed], "50%");
}

TEST_F(VoiceLogic, AChangeOfVoiceStoresTheOldOneAndLoadsTheNew) {
  {
    platform::Registry reg(HKEY_LOCAL_MACHINE);
    reg.OpenKey(kVoices + "DAVL", true);
    reg.WriteString("Pith_Position", "7");
    reg.WriteString("Intonace_Checked", "True");
  }
  Move(VoiceBar::Pith, -25);
  controls.voice = 2;
  logic.ComboBoxVoiceChange();
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kVoices + "DAVLa", "Pith_Position"), "-25");
  EXPECT_EQ(controls.bars[VoiceBar::Pith], 7);
  EXPECT_EQ(controls.shown[VoiceBar::Pith], "7");
  EXPECT_TRUE(controls.Checked(VoiceCheck::Intonace));
  EXPECT_EQ(controls.band, std::make_pair(1, 10));
  logic.OnSay = nullptr;
  logic.ButtonRekniClick();
  EXPECT_FALSE(controls.speakEnabled) << "nobody to speak to";
}

TEST_F(VoiceLogic, ATestTextTheCodePageCannotHoldIsNeverStored) {
  controls.text = u"šipka \u2192";
  logic.Hidden();
  EXPECT_EQ(
      Stored(platform::HKEY_CURRENT_USER, VoicePropertiesLogic::kPerUserKey, "TestovaciText_Text"),
      "Testovac\xED text 1, 2, 3.");
  EXPECT_FALSE(logic.CloseRequested());
  ASSERT_EQ(controls.told.size(), 1u);
  EXPECT_NE(controls.told[0].find("U+2192"), std::string::npos);
  EXPECT_TRUE(logic.CloseRequested()) << "the second close closes";
  EXPECT_EQ(controls.text, u"Testovací text 1, 2, 3.");
}

struct FakeEditorControls : DictionaryEditorControls {
  std::u16string text;
  size_t caret = 0;
  bool modified = false;
  bool rikat = false;
  std::vector<std::string> told;
  std::u16string Text() const override { return text; }
  size_t CaretPosition() const override { return caret; }
  void LoadText(const std::u16string& t) override { text = t; }
  void ReplaceText(const std::u16string& t) override {
    text = t;
    modified = true;
  }
  bool Modified() const override { return modified; }
  void SetModified(bool m) override { modified = m; }
  bool RikatChecked() const override { return rikat; }
  void SetRikatChecked(bool checked) override { rikat = checked; }
  void EnableSpeakButton(bool) override {}
  void TellUser(const std::string& utf8) override { told.push_back(utf8); }
  void TellUserSoon(const std::string& utf8) override { told.push_back(utf8); }
};

// A stand-in collation: ASCII case folded, nothing Czech about it.
struct FoldedCollation : Collation {
  int Compare(std::u16string_view a, std::u16string_view b) const override {
    auto fold = [](char16_t c) { return c < 128 ? char16_t(std::tolower(c)) : c; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char16_t x, char16_t y) { return fold(x) < fold(y); })
               ? -1
           : std::equal(a.begin(), a.end(), b.begin(), b.end(),
                        [&](char16_t x, char16_t y) { return fold(x) == fold(y); })
               ? 0
               : 1;
  }
};

std::string FileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class EditorLogic : public ClockedTest {
 protected:
  EditorLogic() {
    file = test::Prefix() / "slovnik.dct";
    std::ofstream(file, std::ios::binary) << "Zed=zet\r\nahoj=ahooj\r\n";
    DictionaryFileName = file;
    logic.OnSay = [this](const std::string& text) { said.push_back(text); };
  }
  ~EditorLogic() override { DictionaryFileName.clear(); }

  std::filesystem::path file;
  FakeEditorControls controls;
  DictionaryEditorLogic logic{controls, test::Prefix() / "program"};
  std::vector<std::string> said;
};

TEST_F(EditorLogic, LoadsLowerCasedSortsAndSavesOnlyWhenModified) {
  logic.FormShow();
  EXPECT_EQ(controls.text, u"zed=zet\nahoj=ahooj");
  logic.FormClose();
  EXPECT_EQ(FileText(file), "Zed=zet\r\nahoj=ahooj\r\n") << "unchanged: not written back";
  logic.FormShow();
  logic.ButtonSortClick(FoldedCollation());
  logic.FormDeactivate();
  EXPECT_EQ(FileText(file), "ahoj=ahooj\r\nzed=zet\r\n");
}

TEST_F(EditorLogic, SpeaksTheCaretLineOnceArmed) {
  logic.FormShow();
  logic.SlovnikChange();
  EXPECT_TRUE(said.empty()) << "not armed before its timer";
  Pass(100);
  controls.text = u"\u2192=x\nab=\u00e1b";
  controls.caret = 4;  // on the second line, after one character outside the code page
  logic.SlovnikChange();
  EXPECT_EQ(said, std::vector<std::string>{"\xE1"
                                           "b"});
}

TEST_F(EditorLogic, AnEditThatCannotBeSavedRefusesTheFirstClose) {
  logic.FormShow();
  controls.text = u"\u2192=sipka";
  controls.modified = true;
  EXPECT_FALSE(logic.CloseRequested());
  EXPECT_EQ(FileText(file), "Zed=zet\r\nahoj=ahooj\r\n");
  ASSERT_EQ(controls.told.size(), 1u);
  EXPECT_NE(controls.told[0].find("U+2192"), std::string::npos);
  EXPECT_TRUE(logic.CloseRequested());
  EXPECT_FALSE(controls.modified);
}

}  // namespace
}  // namespace kv::dialogs
