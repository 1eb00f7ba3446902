#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "synth/speak_aloud.h"
#include "tests/playback/playback_fixture.h"

namespace kv::test {
namespace {

constexpr int64_t kPlayInterval = 100, kEndInterval = 250;

TEST_F(PlaybackTest, SayArmsThePlayTimerWithTheProbeFlags) {
  synth->Say("ahoj jak");
  EXPECT_TRUE(synth->PlayTimer->Enabled());
  EXPECT_FALSE(synth->EndTimer->Enabled());
  EXPECT_FALSE(synth->WordReady);
  EXPECT_TRUE(synth->NewUtterance);
  EXPECT_EQ(synth->PlayFlags, 21u);
  EXPECT_EQ(synth->PendingText, "ahoj jak");
  EXPECT_TRUE(synth->CurrentWord.empty());
  EXPECT_TRUE(events.empty());
}

TEST_F(PlaybackTest, OneWordTextGivesOneWordEventNoSlovoThenTheEnd) {
  synth->Say("ahoj");
  RunToEnd();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].text, "ahoj");
  EXPECT_TRUE(events[0].hasWave);
  EXPECT_TRUE(events[1].text.empty());
  EXPECT_FALSE(events[1].hasWave);
  EXPECT_EQ(synth->WordCount, 0);  // the last word gets no "slovo"
  EXPECT_EQ(synth->CharCount, 0);
  // The end comes only once the word has been played out, at an end-timer tick.
  const auto words = Words();
  ASSERT_EQ(words.size(), 1u);
  const int64_t wordEnd = words[0].startMs + platform::WaveDurationMs(words[0].wave);
  EXPECT_GE(events[1].atMs, wordEnd);
  EXPECT_LT(events[1].atMs, wordEnd + kEndInterval + 1);
  EXPECT_EQ((events[1].atMs - events[0].atMs) % kEndInterval, 0);
  // Idle again.
  EXPECT_FALSE(synth->PlayTimer->Enabled());
  EXPECT_FALSE(synth->EndTimer->Enabled());
  EXPECT_TRUE(synth->PendingText.empty());
}

TEST_F(PlaybackTest, TheWordPreparedAtTheFirstTickStartsAtTheSecond) {
  synth->Say("ahoj");
  loop().RunUntil([&] { return synth->WordReady; });
  EXPECT_EQ(clock->NowMs(), kPlayInterval);
  EXPECT_TRUE(synth->PlayTimer->Enabled());  // waiting
  EXPECT_TRUE(events.empty());
  loop().RunUntil([&] { return !events.empty(); });
  EXPECT_EQ(events[0].atMs, 2 * kPlayInterval);
  EXPECT_FALSE(synth->PlayTimer->Enabled());  // ending
  EXPECT_TRUE(synth->EndTimer->Enabled());
  EXPECT_TRUE(synth->PendingText.empty());
}

TEST_F(PlaybackTest, BlankTextStartsNoTimerAndMakesNoCallback) {
  for (const char* text : {"   ", "", " \t\r\n "}) {
    synth->Say(text);
    EXPECT_EQ(loop().EnabledTimers(), 0u) << '"' << text << '"';
    EXPECT_TRUE(synth->PendingText.empty());
    EXPECT_TRUE(synth->CurrentWord.empty());
    loop().RunUntil([&] { return !events.empty(); });
    EXPECT_TRUE(events.empty());
  }
  EXPECT_TRUE(Words().empty());
}

TEST_F(PlaybackTest, EventsComeInOrderWithSlovoForAllButTheLastWord) {
  synth->Say("ahoj jak se mas");
  RunToEnd();
  ASSERT_EQ(events.size(), 5u);
  const char* expected[] = {"ahoj ", "jak ", "se ", "mas"};
  int32_t chars = 0;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(events[i].text, expected[i]);
    EXPECT_TRUE(events[i].hasWave);
    EXPECT_EQ(events[i].wordCount, i);  // the event precedes the word's "slovo"
    if (i < 3) chars += int32_t(events[i].text.size());
  }
  EXPECT_TRUE(events[4].text.empty());
  EXPECT_FALSE(events[4].hasWave);
  EXPECT_EQ(synth->WordCount, 3);
  EXPECT_EQ(synth->CharCount, chars);
}

TEST_F(PlaybackTest, CaptureReceivesExactlyTheAssembledWavesInOrder) {
  const std::string text = "ahoj jak se mas dobe";
  const auto expected = AssembledWaves(text);
  ASSERT_EQ(expected.size(), 5u);
  synth->Say(text);
  RunToEnd();
  const auto words = Words();
  ASSERT_EQ(words.size(), expected.size());
  ASSERT_EQ(events.size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(words[i].wave, expected[i]) << "word " << i;
    EXPECT_EQ(events[i].wave, expected[i]) << "event " << i;
    // Each event reports the word that has just been started.
    EXPECT_EQ(events[i].atMs, words[i].startMs);
    EXPECT_EQ(capture->Records()[events[i].recordsBefore - 1].wave, expected[i]);
    EXPECT_GT(platform::WaveDurationMs(expected[i]), 0);
  }
  EXPECT_EQ(capture->Interrupted(), 0);  // no word was cut short
}

TEST_F(PlaybackTest, AWordStillPlayingDelaysTheNextAndTheGapIsAtMostOneInterval) {
  synth->Say("ahoj jak se mas dobe den");
  RunToEnd();
  const auto words = Words();
  ASSERT_EQ(words.size(), 6u);
  EXPECT_EQ(words[0].startMs, 2 * kPlayInterval);
  bool delayed = false;
  for (size_t i = 1; i < words.size(); ++i) {
    const int64_t previousEnd = words[i - 1].startMs + platform::WaveDurationMs(words[i - 1].wave);
    EXPECT_GE(words[i].startMs, previousEnd) << "word " << i << " started over the previous one";
    EXPECT_LE(words[i].startMs - previousEnd, kPlayInterval) << "gap before word " << i;
    // The first tick after a start finds the word still playing when it lasts longer.
    if (words[i].startMs > words[i - 1].startMs + kPlayInterval) delayed = true;
  }
  EXPECT_TRUE(delayed);
}

TEST_F(PlaybackTest, AnotherProgramHoldingTheDeviceDelaysTheWord) {
  capture->SetBusy(true);
  synth->Say("ahoj jak");
  loop().RunUntil([] { return false; }, 1000);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(synth->PlayTimer->Enabled());  // still waiting, not failed
  capture->SetBusy(false);
  RunToEnd();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].atMs, 1100);  // the first tick after the device came free
}

TEST_F(PlaybackTest, AFailingStartRetriesAtTheNextTick) {
  synth->Say("ahoj jak");
  loop().RunUntil([&] { return !events.empty(); });
  const auto first = Words();
  ASSERT_EQ(first.size(), 1u);
  const int64_t firstEnd = first[0].startMs + platform::WaveDurationMs(first[0].wave);
  capture->failWordStarts = 1;
  RunToEnd();
  EXPECT_EQ(capture->failedStarts, 1);
  const auto words = Words();
  ASSERT_EQ(words.size(), 2u);
  ASSERT_EQ(events.size(), 3u);
  // The tick that found the device free failed to start; the next one started the word.
  const int64_t firstFreeTick =
      first[0].startMs +
      ((firstEnd - first[0].startMs + kPlayInterval - 1) / kPlayInterval) * kPlayInterval;
  EXPECT_EQ(words[1].startMs, firstFreeTick + kPlayInterval);
  EXPECT_EQ(events[1].atMs, words[1].startMs);
  EXPECT_EQ(events[1].text, "jak");
  EXPECT_EQ(synth->WordCount, 1);
}

TEST_F(PlaybackTest, SayWhileSpeakingStopsTheSoundAtOnceAndCountsFromZero) {
  synth->Say("ahoj jak se mas dobe");
  loop().RunUntil([&] { return events.size() == 3; });
  EXPECT_EQ(synth->WordCount, 3);
  EXPECT_GT(synth->CharCount, 0);
  EXPECT_TRUE(capture->IsPlaying());
  const size_t before = capture->Records().size();
  synth->Say("den");
  EXPECT_FALSE(capture->IsPlaying());                // stopped at once, no loop turn needed
  EXPECT_EQ(capture->Records().size(), before + 1);  // by starting the silent wave
  EXPECT_EQ(capture->Interrupted(), 1);
  EXPECT_EQ(synth->WordCount, 0);
  EXPECT_EQ(synth->CharCount, 0);
  EXPECT_EQ(synth->PendingText, "den");
  EXPECT_TRUE(synth->PlayTimer->Enabled());
  EXPECT_FALSE(synth->EndTimer->Enabled());
  events.clear();
  RunToEnd();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].text, "den");
  EXPECT_TRUE(events[1].text.empty());
  EXPECT_EQ(synth->WordCount, 0);
}

TEST_F(PlaybackTest, SayWhileEndingStartsAgainWithoutTheOldEnd) {
  synth->Say("ahoj");
  loop().RunUntil([&] { return synth->EndTimer->Enabled(); });
  synth->Say("jak");
  EXPECT_FALSE(synth->EndTimer->Enabled());
  RunToEnd();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].text, "ahoj");
  EXPECT_EQ(events[1].text, "jak");
  EXPECT_TRUE(events[2].text.empty());
}

TEST_F(PlaybackTest, EmptySayStopsSpeechWithoutAnyEvent) {
  synth->Say("ahoj jak se");
  loop().RunUntil([&] { return !events.empty(); });
  synth->Say("");
  EXPECT_FALSE(capture->IsPlaying());
  EXPECT_EQ(loop().EnabledTimers(), 0u);
  loop().RunUntil([] { return false; });
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(PlaybackTest, AnErrorInTheStartStepStallsTheTextUntilTheNextSay) {
  bool fail = true;
  synth->OnSpeechEvent = [&](const std::string& text, const MemoryStream* wave) {
    events.push_back({text, wave != nullptr, {}, clock->NowMs(), 0, synth->WordCount});
    if (fail) throw std::runtime_error("display failed");
  };
  synth->Say("ahoj jak se");
  loop().RunUntil([] { return false; }, 5000);
  ASSERT_EQ(events.size(), 1u);  // the word started, then the error stalled the text
  EXPECT_EQ(events[0].text, "ahoj ");
  EXPECT_EQ(synth->WordCount, 0);
  EXPECT_FALSE(synth->PlayTimer->Enabled());
  EXPECT_FALSE(synth->EndTimer->Enabled());
  EXPECT_FALSE(synth->PendingText.empty());
  fail = false;
  events.clear();
  synth->Say("den");
  RunToEnd();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].text, "den");
}

TEST_F(PlaybackTest, AnErrorInTheEndEventIsSwallowed) {
  synth->OnSpeechEvent = [&](const std::string& text, const MemoryStream*) {
    if (text.empty()) throw std::runtime_error("end display failed");
  };
  synth->Say("ahoj");
  loop().RunUntil([] { return false; });
  EXPECT_EQ(loop().EnabledTimers(), 0u);
}

TEST_F(PlaybackTest, ReportEventCountsOnlySlovo) {
  synth->CurrentWord = "ahoj ";
  synth->WordCount = 0;
  synth->CharCount = 99;
  synth->ReportEvent("end");
  EXPECT_EQ(synth->CharCount, 99);
  synth->ReportEvent("slovo");  // the first word resets the characters
  EXPECT_EQ(synth->WordCount, 1);
  EXPECT_EQ(synth->CharCount, 5);
  synth->CurrentWord = "jak";
  synth->ReportEvent("slovo");
  EXPECT_EQ(synth->WordCount, 2);
  EXPECT_EQ(synth->CharCount, 8);
}

TEST_F(PlaybackTest, SlotsAlternateWhileWordsPlay) {
  synth->Say("ahoj jak se");
  std::vector<int> slots;
  synth->OnSpeechEvent = [&](const std::string& text, const MemoryStream*) {
    if (!text.empty()) slots.push_back(synth->CurrentSlot);
    events.push_back(Event{text, false, {}, 0, 0, 0});
  };
  RunToEnd();
  EXPECT_EQ(slots, (std::vector<int>{1, 2, 1}));
}

TEST_F(PlaybackTest, DestroyingTheSynthesizerWhileSpeakingLeavesNothingScheduled) {
  synth->Say("ahoj jak se");
  loop().RunUntil([&] { return !events.empty(); });
  synth.reset();
  EXPECT_EQ(loop().EnabledTimers(), 0u);
  loop().RunUntil([] { return false; });
}

TEST_F(PlaybackTest, SpeakAloudPrintsEachEventAsAJsonLine) {
  std::ostringstream out, err;
  EXPECT_EQ(SpeakAloud(*synth, "d\xFDka jak", true, out, err), 0);  // dýka jak
  const auto words = Words();
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(out.str(),
            "{\"event\":\"word\",\"text\":\"d\xC3\xBDka \",\"ms\":200}\n"
            "{\"event\":\"word\",\"text\":\"jak\",\"ms\":" +
                std::to_string(words[1].startMs) + "}\n" +
                "{\"event\":\"end\",\"ms\":" + std::to_string(clock->NowMs()) + "}\n");
  EXPECT_TRUE(err.str().empty());
  EXPECT_FALSE(synth->OnSpeechEvent == nullptr);  // the caller's handler is back
}

TEST(SpeechEventJson, EscapesTheWordText) {
  EXPECT_EQ(SpeechEventJson(false, "\"a\\b\"\t\x01", 5),
            "{\"event\":\"word\",\"text\":\"\\\"a\\\\b\\\"\\t\\u0001\",\"ms\":5}");
  EXPECT_EQ(SpeechEventJson(true, "", 812), "{\"event\":\"end\",\"ms\":812}");
}

TEST_F(PlaybackTest, SpeakAloudIsQuietWithoutEventsAndEndsAtOnceOnBlankText) {
  std::ostringstream out, err;
  EXPECT_EQ(SpeakAloud(*synth, "ahoj jak", false, out, err), 0);
  EXPECT_TRUE(out.str().empty());
  EXPECT_EQ(Words().size(), 2u);
  const int64_t before = clock->NowMs();
  EXPECT_EQ(SpeakAloud(*synth, "   ", true, out, err), 0);
  EXPECT_TRUE(out.str().empty());
  EXPECT_EQ(clock->NowMs(), before);
}

}  // namespace
}  // namespace kv::test
