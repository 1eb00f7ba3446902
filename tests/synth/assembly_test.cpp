#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "tests/synth/synth_fixture.h"

namespace kv::test {
namespace {

using Assembly = SynthTest;

size_t Count(const std::vector<int16_t>& v, int16_t value) {
  return size_t(std::count(v.begin(), v.end(), value));
}

TEST_F(Assembly, PlaysAUnitSegmentBySegmentWithoutItsMarks) {
  EXPECT_EQ(Assemble(Entry("a")), UnitA());
  EXPECT_EQ(Assemble(Entry("\xE1")), UnitA());  // á plays the unit of a
}

TEST_F(Assembly, PausesAndPunctuationBecomeSilence) {
  TCharacter comma = Entry(",", 250);
  EXPECT_EQ(Assemble(comma), std::vector<int16_t>(5500, 0));
  EXPECT_TRUE(Assemble(Entry("_", 0)).empty());
  EXPECT_EQ(Assemble(Entry(" ", 10)).size(), 220u);
}

TEST_F(Assembly, AUnitWithoutAResourceGivesOnlyItsLeadingSilence) {
  TCharacter x = Entry("x");
  x.PauseBefore = 10;
  EXPECT_EQ(Assemble(x), std::vector<int16_t>(220, 0));
  TCharacter a = Entry("a");
  a.PauseBefore = 1;
  std::vector<int16_t> expected(22, 0);
  const auto unit = UnitA();
  expected.insert(expected.end(), unit.begin(), unit.end());
  EXPECT_EQ(Assemble(a), expected);
}

TEST_F(Assembly, HacekLettersFindTheirTwoLetterUnits) {
  EXPECT_EQ(Assemble(Entry("\xF8")), std::vector<int16_t>(29, 777));  // ř -> RV
}

TEST_F(Assembly, GainLoudnessAndVolumeScaleTheUnit) {
  TCharacter e = Entry("a");
  e.Gain = 2.0;
  auto doubled = UnitA();
  for (auto& s : doubled) s = int16_t(s * 2);
  EXPECT_EQ(Assemble(e), doubled);
  e.Gain = 1.0;
  e.Loudness = kUnityLoudness;
  SynthesisSettings.Volume = 2.0;  // volume acts only where the loudness is set
  EXPECT_EQ(Assemble(e), doubled);
  e.Loudness = 0;
  SynthesisSettings.Volume = 0.0;
  EXPECT_EQ(Assemble(e), UnitA());
}

TEST_F(Assembly, SkipsLeadingAndDropsTrailingSegments) {
  TCharacter e = Entry("a");
  e.FirstSegment = 2;
  auto unit = UnitA();
  EXPECT_EQ(Assemble(e), std::vector<int16_t>(unit.begin() + 20, unit.end()));
  e.FirstSegment = 0;
  e.DroppedSegments = 1;
  EXPECT_EQ(Assemble(e), std::vector<int16_t>(unit.begin(), unit.begin() + 40));
}

TEST_F(Assembly, OutOfRangeSegmentCountsStayInsideTheUnit) {
  TCharacter e = Entry("a");
  e.FirstSegment = 7;  // beyond the unit: from the first
  EXPECT_EQ(Assemble(e), UnitA());
  e.FirstSegment = -4;
  EXPECT_EQ(Assemble(e), UnitA());
  e.FirstSegment = 0;
  e.DroppedSegments = 99;
  EXPECT_TRUE(Assemble(e).empty());
  e.DroppedSegments = -5;
  EXPECT_EQ(Assemble(e), UnitA());
}

TEST_F(Assembly, ASingleSegmentUnitKeepsItsLengthWhateverTheDuration) {
  for (int32_t ms : {0, 5, 150, 1000}) EXPECT_EQ(Assemble(Entry("k", ms)).size(), 49u) << ms;
}

TEST_F(Assembly, LengtheningRepeatsOnlyTheMiddleSegments) {
  // B: 12 segments of 20 samples (the last 19); T = 478 bytes, R = (22000 / 39) / 4 = 141.
  const auto out = Assemble(Entry("b", 1000));
  EXPECT_EQ(out.size(), 139u + 5u * 20u * 141u);
  EXPECT_EQ(Count(out, 4002), 141u);  // first sample of segment 4
  EXPECT_EQ(Count(out, 3002), 1u);    // segment 3 once
  EXPECT_EQ(Count(out, 9002), 1u);    // segment 9 = b - 3 once
}

TEST_F(Assembly, ShorteningDropsEverySecondAndThirdSegment) {
  const auto out = Assemble(Entry("b", 0));
  // The sweeps leave segments 1, 10 and 11; three drops stay unfulfilled after five passes.
  EXPECT_EQ(out.size(), 60u);
  EXPECT_EQ(out[0], 1002);
  EXPECT_EQ(out[20], 10002);
  EXPECT_EQ(out[40], 11002);
}

TEST_F(Assembly, VoicePitchRepitchesEverySegment) {
  SynthesisSettings.Pitch = 5;  // one sample in every five inserted: about 20 % longer
  EXPECT_EQ(Assemble(Entry("a")).size(), 59u + 3u + 3u + 3u);
  SynthesisSettings.Pitch = 0;
  for (int16_t finalPitch : {-1, 0, 1}) {
    TCharacter e = Entry("a");
    e.FinalPitch = finalPitch;
    EXPECT_EQ(Assemble(e), UnitA());
  }
}

TEST_F(Assembly, GlideAtTheTargetRepitchesWithTheWordLevel) {
  SynthesisSettings.PitchGlideOn = true;
  synth->Words[synth->CurrentSlot].PitchLevel = 0;
  EXPECT_EQ(Assemble(Entry("a")), UnitA());
  TCharacter e = Entry("a");
  e.TargetPitch = 4;
  synth->Words[synth->CurrentSlot].PitchStep = 4;  // reaches 4 at the first segment
  EXPECT_EQ(Assemble(e).size(), 59u + 4u + 4u + 4u);
  EXPECT_EQ(synth->Words[synth->CurrentSlot].PitchLevel, 4);
}

TEST_F(Assembly, MoreMarksThanTheSegmentTableHoldsStayInTheLastSegment) {
  const auto out = Assemble(Entry("mn", 1000));
  EXPECT_EQ(out.size(), 149u * 12u + 1111u);
}

TEST_F(Assembly, AUnitShorterThanItsTailGivesNothing) {
  EXPECT_TRUE(Assemble(Entry("tn")).empty());
}

TEST_F(Assembly, HugeDurationsAreBounded) {
  TCharacter pause = Entry("_", 2000000000);
  EXPECT_EQ(Assemble(pause).size(), 60000u * 22u);
  TCharacter b = Entry("b", 2000000000);
  b.PauseBefore = 2000000000;
  EXPECT_LT(Assemble(b).size(), 30000000u);
}

TEST_F(Assembly, AnEmptySlotGivesAHeaderBlockWithNoData) {
  synth->Words[1].Reset();
  synth->AssembleWord();
  const MemoryStream& wave = synth->SlotWaves[1];
  ASSERT_EQ(wave.Size(), kHeaderBlock);
  EXPECT_EQ(wave.GetU32(40), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(wave.Data()), 4), "RIFF");
}

TEST_F(Assembly, AWordIsItsUnitsBehindTheHeaderBlock) {
  TSayWord& word = synth->Words[1];
  word.Reset();
  word.CharacterCount = 2;
  word.Characters[1] = Entry("a");
  word.Characters[2] = Entry(",", 1);
  synth->AssembleWord();
  const MemoryStream& wave = synth->SlotWaves[1];
  EXPECT_EQ(wave.Size(), kHeaderBlock + 2 * (59 + 22));
  EXPECT_EQ(wave.GetU32(40), 2u * (59 + 22));
  EXPECT_EQ(wave.Sample(23), 102);  // first unit sample right after the block
}

TEST_F(Assembly, EchoRepeatsTheWordDelayedAndQuieter) {
  SynthesisSettings.EchoTrackCount = 1;
  SynthesisSettings.EchoDelay = 10;
  SynthesisSettings.EchoVolume = 50;
  synth->ResetEchoLines();
  TSayWord& word = synth->Words[1];
  word.Reset();
  word.CharacterCount = 1;
  word.Characters[1] = Entry("k");  // 49 samples of 500
  synth->AssembleWord();
  const MemoryStream& wave = synth->SlotWaves[1];
  std::vector<int16_t> pcm;
  for (size_t i = 23; i < wave.Size() / 2; ++i) pcm.push_back(wave.Sample(i));
  ASSERT_EQ(pcm.size(), 49u);
  EXPECT_EQ(Count(std::vector<int16_t>(pcm.begin(), pcm.begin() + 11), 500), 11u);
  EXPECT_EQ(Count(std::vector<int16_t>(pcm.begin() + 11, pcm.begin() + 48), 750), 37u);
  EXPECT_EQ(pcm[48], 500);
}

TEST_F(Assembly, NoEchoTapsLeaveTheWordAlone) {
  SynthesisSettings.EchoTrackCount = 0;
  SynthesisSettings.EchoDelay = 10;
  SynthesisSettings.EchoVolume = 50;
  TSayWord& word = synth->Words[1];
  word.Reset();
  word.CharacterCount = 1;
  word.Characters[1] = Entry("k");
  synth->AssembleWord();
  EXPECT_EQ(synth->SlotWaves[1].Sample(23 + 30), 500);
}

TEST_F(Assembly, UnitEchoCarriesIntoTheNextUnit) {
  SynthesisSettings.EchoTrackCount = 2;
  SynthesisSettings.EchoDelay = 60;
  SynthesisSettings.EchoVolume = 40;
  synth->ResetEchoLines();
  MemoryStream first;
  synth->AssembleUnit(Entry("k"), first);
  synth->MixEchoUnit(first);
  EXPECT_EQ(first.Sample(48), 500);  // the echo starts after the unit
  MemoryStream second;
  second.WriteZeros(200 * 2);
  synth->MixEchoUnit(second);
  int nonZero = 0;
  for (size_t i = 0; i < 200; ++i) nonZero += second.Sample(i) != 0;
  EXPECT_GT(nonZero, 40);
}

}  // namespace
}  // namespace kv::test
