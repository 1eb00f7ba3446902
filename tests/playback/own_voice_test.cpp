#include "synth/own_voice.h"

#include <gtest/gtest.h>

#include "tests/playback/playback_fixture.h"

namespace kv::test {
namespace {

using OwnVoiceTest = PlaybackTest;

// One test: the own voice is module-wide and its finalisation cannot be undone.
TEST_F(OwnVoiceTest, SpeaksOnlyWhenActiveAndNotAfterShutdown) {
  EXPECT_FALSE(OwnVoiceActive);
  SayOwn("ahoj");  // inactive: silent, and the voice is not even created
  EXPECT_EQ(OwnVoice(), nullptr);

  SynthesisSettings.Speed = 1.235;
  PrepareOwnVoice();
  TSayText* voice = OwnVoice();
  ASSERT_NE(voice, nullptr);
  EXPECT_EQ(voice->Voice(), 1);
  voice->CurrentTone = 5;
  voice->CurrentSpeed = 7;
  voice->CurrentVolume = 9;
  PrepareOwnVoice();  // every call resets the running values, the voice stays
  EXPECT_EQ(OwnVoice(), voice);
  EXPECT_EQ(voice->CurrentTone, 0);
  EXPECT_EQ(voice->CurrentSpeed, 124);
  EXPECT_EQ(voice->CurrentVolume, 63750);

  SetOwnVoiceEvent([this](const std::string& text, const MemoryStream* wave) {
    events.push_back(Event{text, wave != nullptr, {}, 0, 0, 0});
  });
  SayOwn("ahoj");
  EXPECT_FALSE(voice->PlayTimer->Enabled());  // still inactive

  OwnVoiceActive = true;
  voice->CurrentTone = 3;
  SayOwn("ahoj jak");
  EXPECT_EQ(voice->CurrentTone, 0);
  RunToEnd();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].text, "ahoj ");
  EXPECT_EQ(events[1].text, "jak");

  // An empty text stops what the voice says; no event follows.
  events.clear();
  SayOwn("ahoj jak se");
  loop().RunUntil([&] { return !events.empty(); });
  SayOwn("");
  EXPECT_FALSE(capture->IsPlaying());
  loop().RunUntil([] { return false; });
  EXPECT_EQ(events.size(), 1u);

  FinalizeOwnVoice();
  EXPECT_EQ(OwnVoice(), nullptr);
  SayOwn("ahoj");  // shutting down: nothing
  EXPECT_EQ(OwnVoice(), nullptr);
  EXPECT_EQ(loop().EnabledTimers(), 0u);
}

}  // namespace
}  // namespace kv::test
