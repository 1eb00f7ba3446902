#include <gtest/gtest.h>

#include <vector>

#include "synth/assembly.h"

namespace kv {
namespace {

MemoryStream StreamOf(const std::vector<int16_t>& samples) {
  MemoryStream s;
  for (int16_t v : samples) s.Write(&v, 2);
  return s;
}

std::vector<int16_t> SamplesOf(const MemoryStream& s, int32_t bytes) {
  std::vector<int16_t> out;
  for (int32_t i = 0; i < bytes / 2; ++i) out.push_back(s.Sample(size_t(i)));
  return out;
}

// s1..s10 with odd neighbour sums, so the means show the rounding: m(x, y) = nearest((x+y)/2).
const std::vector<int16_t> kTen = {10, 21, 30, 41, 50, 61, 70, 81, 90, 101};

TEST(Resample, InsertingLowersThePitchOneSampleEveryCount) {
  MemoryStream s = StreamOf(kTen);
  int32_t bytes = 20;
  ResampleSegment(s, 3, bytes);
  // Hits on 8, 5 and 2; 2 is an edge. m(41,50)=46 (45.5 to even), m(70,81)=76 (75.5 to even).
  EXPECT_EQ(bytes, 24);
  EXPECT_EQ(SamplesOf(s, bytes),
            (std::vector<int16_t>{10, 21, 30, 41, 46, 50, 61, 70, 76, 81, 90, 101}));
}

TEST(Resample, RemovingRaisesThePitchAndAnEdgeHitCutsTheTail) {
  MemoryStream s = StreamOf(kTen);
  int32_t bytes = 20;
  ResampleSegment(s, -3, bytes);
  // s1, s2, s3, s4, m(s6, s4), s7, m(s9, s7); s10 is lost to the edge hit on 2.
  EXPECT_EQ(bytes, 14);
  EXPECT_EQ(SamplesOf(s, bytes), (std::vector<int16_t>{10, 21, 30, 41, 51, 70, 80}));
}

TEST(Resample, CopyFormRemovesAtEdgesToo) {
  const MemoryStream source = StreamOf(kTen);
  MemoryStream target;
  const int32_t bytes = ResampleSegmentCopy(source, target, -3, 20);
  EXPECT_EQ(bytes, 14);
  EXPECT_EQ(SamplesOf(target, bytes), (std::vector<int16_t>{10, 30, 41, 51, 70, 80, 101}));
  EXPECT_EQ(SamplesOf(source, 20), kTen);  // the source is untouched
}

TEST(Resample, CopyFormInsertsLikeTheInPlaceForm) {
  const MemoryStream source = StreamOf(kTen);
  MemoryStream target;
  const int32_t bytes = ResampleSegmentCopy(source, target, 3, 20);
  MemoryStream inPlace = StreamOf(kTen);
  int32_t inPlaceBytes = 20;
  ResampleSegment(inPlace, 3, inPlaceBytes);
  EXPECT_EQ(bytes, inPlaceBytes);
  EXPECT_EQ(SamplesOf(target, bytes), SamplesOf(inPlace, inPlaceBytes));
}

TEST(Resample, CountsMinusOneToOneChangeNothing) {
  for (int32_t c : {-1, 0, 1}) {
    MemoryStream s = StreamOf(kTen);
    int32_t bytes = 20;
    ResampleSegment(s, c, bytes);
    EXPECT_EQ(bytes, 20);
    EXPECT_EQ(SamplesOf(s, 20), kTen);
    MemoryStream target;
    EXPECT_EQ(ResampleSegmentCopy(s, target, c, 20), 20);
    EXPECT_EQ(SamplesOf(target, 20), kTen);
  }
}

TEST(Resample, LengthChangesByTheCountsFactor) {
  const std::vector<int16_t> segment(130, 1000);
  MemoryStream lower = StreamOf(segment);
  int32_t bytes = 260;
  ResampleSegment(lower, 5, bytes);  // about 20 % longer
  EXPECT_NEAR(bytes / 2, 156, 2);
  MemoryStream higher = StreamOf(segment);
  bytes = 260;
  ResampleSegment(higher, -30, bytes);  // about 3 % shorter
  EXPECT_EQ(bytes / 2, 126);
}

TEST(Resample, ToleratesEmptyAndTinySegments) {
  MemoryStream empty;
  int32_t bytes = 0;
  ResampleSegment(empty, 3, bytes);
  EXPECT_EQ(bytes, 0);
  MemoryStream two = StreamOf({5, 6});
  bytes = 4;
  ResampleSegment(two, -2, bytes);  // the only hit is an edge: one sample shorter
  EXPECT_EQ(bytes, 2);
  MemoryStream target;
  EXPECT_EQ(ResampleSegmentCopy(two, target, 2, 400), 4);  // never reads past the source
}

TEST(ScaleSamples, KeepsMarkValuesAndWrapsTo16Bits) {
  MemoryStream s = StreamOf({0, 1, -1, 2, 20000, -3});
  ScaleSamples(s, 12, 2.0);
  EXPECT_EQ(SamplesOf(s, 12), (std::vector<int16_t>{0, 1, -1, 4, -25536, -6}));
  ScaleSamples(s, 12, 1.0);
  EXPECT_EQ(s.Sample(3), 4);
  ScaleSamples(s, 4, 0.5);  // only the first two samples
  EXPECT_EQ(s.Sample(3), 4);
}

TEST(UnitName, MapsLongVowelsPausesAndPunctuation) {
  EXPECT_EQ(UnitNameForAssembly("\xE1"), "a");  // á
  EXPECT_EQ(UnitNameForAssembly("\xEC"), "e");  // ě
  EXPECT_EQ(UnitNameForAssembly("\xF9"), "u");  // ů
  EXPECT_EQ(UnitNameForAssembly("w"), "v");
  EXPECT_EQ(UnitNameForAssembly(""), "_");
  EXPECT_EQ(UnitNameForAssembly(" "), "_");
  EXPECT_EQ(UnitNameForAssembly(","), "_");
  EXPECT_EQ(UnitNameForAssembly("?"), "_");
  EXPECT_EQ(UnitNameForAssembly("\x05"), "_");
  EXPECT_EQ(UnitNameForAssembly("ch"), "ch");
  EXPECT_EQ(UnitNameForAssembly("kk"), "kk");
  EXPECT_EQ(UnitNameForAssembly("\xF8"), "\xF8");  // ř stays; the unit lookup maps it
}

}  // namespace
}  // namespace kv
