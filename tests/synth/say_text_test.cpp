#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/message_loop.h"
#include "platform/module.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "tests/synth/synth_fixture.h"

namespace kv::test {
namespace {

using SayText = SynthTest;

TEST_F(SayText, EachVoiceSetsItsPitchAndOpensItsKey) {
  const struct {
    int32_t voice;
    int32_t pitch;
    const char* key;
  } cases[] = {{1, -30, "DAVLa"}, {2, -7, "DAVLuska"}, {3, 5, "DAVL"}, {7, -30, "DAVLa"}};
  for (const auto& c : cases) {
    TSayText voice(c.voice);
    EXPECT_EQ(SynthesisSettings.Pitch, c.pitch) << c.voice;
    ASSERT_TRUE(voice.Settings);
    EXPECT_EQ(voice.Settings->CurrentPath(),
              std::string("SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS\\") + c.key);
  }
}

TEST_F(SayText, TwoVoicesSpeakingByTurnsEachKeepTheirPitch) {
  TSayText female(1), male(3);  // the later one set the shared settings
  for (TSayText* voice : {&female, &male, &female}) {
    voice->PendingText = "ahoj";
    voice->NewText = true;
    voice->SpeakStep();
    EXPECT_EQ(SynthesisSettings.Pitch, voice == &female ? -30 : 5);
  }
}

TEST_F(SayText, StartsWithItsInitialState) {
  EXPECT_EQ(synth->CurrentBookmark, -222);
  EXPECT_EQ(synth->CurrentSlot, 1);
  EXPECT_FALSE(synth->WordReady);
  EXPECT_TRUE(synth->NewText);
  EXPECT_FALSE(synth->SettingsLoaded);
  EXPECT_EQ(synth->CurrentTone, 0);
  EXPECT_EQ(synth->CurrentSpeed, 100);
  EXPECT_EQ(synth->CurrentVolume, 63750);
  EXPECT_FALSE(synth->PlayTimer->Enabled());
  EXPECT_EQ(synth->PlayTimer->Interval(), 100u);
  EXPECT_EQ(synth->EndTimer->Interval(), 250u);
  EXPECT_EQ(synth->EchoReadPos[3], -3600);
}

TEST_F(SayText, TakesItsHeaderBlockFromUnitA) {
  ASSERT_TRUE(synth->WaveHeader);
  ASSERT_TRUE(synth->SilentWave);
  EXPECT_EQ(synth->WaveHeader->Size(), 46u);
  EXPECT_EQ(synth->SilentWave->Size(), 48u);
  EXPECT_EQ(synth->SilentWave->GetU32(40), 2u);
  EXPECT_EQ(synth->SilentWave->Sample(23), 0);
  auto a = platform::ThisModule().FindResource("WAV", "A");
  ASSERT_TRUE(a);
  EXPECT_TRUE(std::equal(a->begin(), a->begin() + 46, synth->WaveHeader->Data()));
}

TEST_F(SayText, LoadsUnitsByNameWithTheHacekRule) {
  MemoryStream rv, r_caron, x;
  synth->LoadUnit("rv", rv);
  synth->LoadUnit("\xF8", r_caron);  // ř
  synth->LoadUnit("x", x);
  EXPECT_GT(rv.Size(), 46u);
  EXPECT_EQ(rv.Size(), r_caron.Size());
  EXPECT_EQ(x.Size(), 0u);
  MemoryStream twice;
  synth->LoadUnit("K", twice);
  synth->LoadUnit("k", twice);  // appends
  EXPECT_EQ(twice.Size(), 2 * (44 + 51 * 2 + 120u));
}

TEST_F(SayText, CreatesAMissingDictionaryEmptyBesideTheModule) {
  const auto path = platform::ChangeFileExt(platform::ThisModule().FileName(), ".dct");
  std::filesystem::remove(path);
  TSayText voice(1);
  EXPECT_EQ(voice.DictionaryPath, path.string());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_TRUE(voice.UserDictionary.empty());
  EXPECT_EQ(voice.DictionaryAge, platform::FileAge(path));
}

TEST_F(SayText, LoadsTheDictionaryLowerCasedLineByLine) {
  const auto path = platform::ChangeFileExt(platform::ThisModule().FileName(), ".dct");
  std::ofstream(path, std::ios::binary) << "ABC=XYZ\r\n\xC8P=\xE8\xE9 p\xE9\rlone=cr\nlast";
  TSayText voice(1);
  EXPECT_EQ(voice.UserDictionary,
            (std::vector<std::string>{"abc=xyz", "\xE8p=\xE8\xE9 p\xE9", "lone=cr", "last"}));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace kv::test
