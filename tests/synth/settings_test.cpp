#include <gtest/gtest.h>

#include "platform/registry.h"
#include "synth/say_text.h"
#include "synth/synthesis_settings.h"
#include "tests/support/test_prefix.h"

namespace kv::test {
namespace {

using platform::HKEY_LOCAL_MACHINE;
using platform::Registry;

const char* const kVoices[] = {"DAVLa", "DAVLuska", "DAVL"};

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPrefix();
    SynthesisSettings = SynthesisParameters();
  }
  static std::string Read(const std::string& key, const std::string& name) {
    Registry reg(HKEY_LOCAL_MACHINE);
    reg.OpenKey(std::string(kEngineKey) + key, false);
    return reg.ReadString(name);
  }
  static void Write(int voice, const std::string& name, const std::string& value) {
    Registry reg(HKEY_LOCAL_MACHINE);
    reg.OpenKey(VoiceKeyPath(voice), true);
    reg.WriteString(name, value);
  }
  static void Flag(int voice, int32_t value) {
    Registry reg(HKEY_LOCAL_MACHINE);
    reg.OpenKey(VoiceKeyPath(voice), true);
    reg.WriteInteger("Values_Changed", value);
  }
};

TEST_F(Settings, DefaultsWriterFillsAnEmptyRegistry) {
  WriteSettingsDefaults();
  EXPECT_EQ(Read("", "Version"), "1.1.1.73");
  for (const char* voice : kVoices) {
    Registry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(std::string(kEngineKey) + "\\" + voice, false));
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"Volume_Position", "Speed_Position", "Pith_Position",
                                        "Echo_tracsk_Position", "Echo_delay_Position",
                                        "Echo_Volume_Position", "Intonace_Checked",
                                        "Intonace_endhacent_Checked"}));
    EXPECT_EQ(reg.ReadString("Volume_Position"), "50");
    EXPECT_EQ(reg.ReadString("Intonace_endhacent_Checked"), "False");
    EXPECT_FALSE(reg.ValueExists("Values_Changed"));
  }
}

TEST_F(Settings, DefaultsWriterComparesVersionsByteWise) {
  WriteSettingsDefaults();
  Write(1, "Volume_Position", "77");
  Registry reg(HKEY_LOCAL_MACHINE);
  reg.OpenKey(kEngineKey, false);
  reg.WriteString("Version", "1.1.1.8");  // greater, byte by byte
  WriteSettingsDefaults();
  EXPECT_EQ(Read("\\DAVLa", "Volume_Position"), "77");
  reg.WriteString("Version", "1.1.1.100");  // less
  WriteSettingsDefaults();
  EXPECT_EQ(Read("\\DAVLa", "Volume_Position"), "50");
  EXPECT_EQ(Read("", "Version"), "1.1.1.73");
}

TEST_F(Settings, WithoutTheChangeFlagTheInitialValuesStay) {
  WriteSettingsDefaults();
  TSayText synth(3);
  synth.ReloadSettingsIfChanged();
  EXPECT_FALSE(synth.SettingsLoaded);
  EXPECT_EQ(SynthesisSettings.Volume, 2.0);
  EXPECT_EQ(SynthesisSettings.Pitch, 5);
  EXPECT_EQ(SynthesisSettings.EchoTrackCount, 3);
  EXPECT_EQ(SynthesisSettings.EchoDelay, 1200);
  EXPECT_EQ(SynthesisSettings.EchoVolume, 8);
  EXPECT_TRUE(SynthesisSettings.PitchGlideOn);
}

TEST_F(Settings, TheFirstTextLoadsWhenTheFlagExistsAndLaterOnlyWhenSet) {
  WriteSettingsDefaults();
  Flag(1, 0);
  TSayText synth(1);
  synth.ReloadSettingsIfChanged();
  EXPECT_TRUE(synth.SettingsLoaded);
  EXPECT_DOUBLE_EQ(SynthesisSettings.Volume, 50 / 15.0);
  EXPECT_EQ(SynthesisSettings.Pitch, 0);
  EXPECT_EQ(SynthesisSettings.EchoDelay, 1000);
  EXPECT_EQ(SynthesisSettings.EchoVolume, 10);
  EXPECT_FALSE(SynthesisSettings.PitchGlideOn);
  EXPECT_EQ(synth.EchoReadPos[2], -2000);

  Write(1, "Volume_Position", "0");
  synth.ReloadSettingsIfChanged();  // flag is 0: nothing read
  EXPECT_DOUBLE_EQ(SynthesisSettings.Volume, 50 / 15.0);
  Flag(1, 1);
  synth.ReloadSettingsIfChanged();
  EXPECT_EQ(SynthesisSettings.Volume, 0.0);
  Registry reg(HKEY_LOCAL_MACHINE);
  reg.OpenKey(VoiceKeyPath(1), false);
  EXPECT_EQ(reg.ReadInteger("Values_Changed"), 0);
}

TEST_F(Settings, ConvertsSpeedAndSwitchesAsStored) {
  WriteSettingsDefaults();
  Write(2, "Speed_Position", "5");       // 0.05 is below 0.1: normal speed
  Write(2, "Intonace_Checked", "true");  // only the exact "True" counts
  Write(2, "Echo_tracsk_Position", "0");
  Flag(2, 1);
  TSayText synth(2);
  synth.CurrentSpeed = 7;
  synth.ReloadSettingsIfChanged();
  EXPECT_EQ(SynthesisSettings.Speed, 1.0);
  EXPECT_EQ(synth.CurrentSpeed, 100);
  EXPECT_FALSE(SynthesisSettings.IntonationOn);
  EXPECT_EQ(SynthesisSettings.EchoTrackCount, 0);
  Write(2, "Speed_Position", "150");
  Flag(2, 1);
  synth.ReloadSettingsIfChanged();
  EXPECT_EQ(synth.CurrentSpeed, 150);
}

TEST_F(Settings, ABadValueStopsTheReloadAndKeepsWhatWasRead) {
  WriteSettingsDefaults();
  Write(1, "Volume_Position", "45abc");  // lenient: 45
  Write(1, "Pith_Position", "-");        // no integer: the reload ends here
  Write(1, "Echo_Volume_Position", "99");
  Flag(1, 1);
  TSayText synth(1);
  synth.ReloadSettingsIfChanged();
  EXPECT_DOUBLE_EQ(SynthesisSettings.Volume, 3.0);
  EXPECT_EQ(SynthesisSettings.Pitch, -30);
  EXPECT_EQ(SynthesisSettings.EchoVolume, 8);
  EXPECT_TRUE(synth.SettingsLoaded);
  EXPECT_EQ(synth.EchoReadPos[1], -1200);  // echo lines not reset
}

TEST_F(Settings, MissingValuesReadAsZeroAndOutOfRangeEchoIsClamped) {
  Flag(1, 1);
  Write(1, "Echo_tracsk_Position", "25");
  TSayText synth(1);
  synth.ReloadSettingsIfChanged();
  EXPECT_EQ(SynthesisSettings.Volume, 0.0);  // a missing volume mutes the voice
  EXPECT_EQ(SynthesisSettings.Speed, 1.0);
  EXPECT_EQ(SynthesisSettings.EchoTrackCount, 10);
}

}  // namespace
}  // namespace kv::test
