// Checks the 34 committed voice units against what the synthesizer does with
// them: it reads the 44-byte header, takes PCM from byte 46 on, drops the last
// 120 bytes, cuts the rest at segment marks, scales by the front-end's gain
// without saturation, and repeats or drops segments to fit durations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct UnitInfo {
  const char* name;
  int segments;
  double usualGain;    // gain the front-end gives the unit in the common case
  double largestGain;  // largest gain it can give (before the first-entry boost)
  int minOutput;       // band of the output peak at usual gain and default volume
  int maxOutput;
};

// Front-end gains (rhythm pass), the segment count the front-end's segment
// rules are written for, and the loudness band each kind of sound sits in.
// Sonorants and fricatives sit well below the vowels, as in natural speech:
// louder, they were heard as vowels and words lost their shape.
const UnitInfo kUnits[] = {
    {"A", 21, 0.55, 0.55, 17000, 26000},  {"B", 41, 0.75, 0.75, 5000, 16000},
    {"C", 1, 0.3, 0.3, 4000, 14000},      {"CH", 1, 0.3, 0.3, 2000, 12000},
    {"CV", 1, 0.215, 0.215, 4000, 14000}, {"D", 18, 1.0, 1.0, 5000, 16000},
    {"DV", 11, 0.77, 0.77, 5000, 16000},  {"E", 27, 0.65, 0.65, 17000, 26000},
    {"F", 19, 1.75, 1.75, 2000, 9000},    {"G", 1, 0.5, 0.5, 5000, 16000},
    {"H", 17, 0.122, 0.122, 3000, 12000}, {"I", 30, 0.55, 0.55, 14000, 26000},
    {"J", 20, 0.55, 0.55, 4000, 18000},   {"K", 1, 1.0, 1.0, 6000, 18000},
    {"KK", 1, 0.2, 0.25, 5000, 16000},    {"L", 13, 0.2, 0.2, 5000, 16000},
    {"LU", 18, 0.15, 0.2, 5000, 16000},   {"M", 36, 0.35, 0.35, 7000, 20000},
    {"N", 39, 0.75, 0.75, 4000, 20000},   {"NV", 1, 0.45, 0.45, 3500, 18000},
    {"O", 26, 0.45, 0.45, 17000, 26000},  {"P", 1, 0.5, 0.5, 5000, 16000},
    {"PK", 1, 0.4, 0.5, 5000, 16000},     {"Q", 1, 1.0, 1.0, 6000, 18000},
    {"R", 17, 0.4, 0.4, 8000, 18000},     {"RV", 1, 0.3, 0.3, 5000, 14000},
    {"S", 16, 0.27, 0.27, 4000, 12000},   {"SV", 30, 0.35, 0.35, 4000, 14000},
    {"T", 1, 0.65, 0.7, 6000, 18000},     {"TV", 1, 1.0, 1.0, 6000, 18000},
    {"U", 24, 0.5, 0.6, 12000, 26000},    {"V", 17, 0.27, 0.3, 3500, 14000},
    {"Z", 36, 1.15, 1.15, 4000, 12000},   {"ZV", 13, 0.5, 0.5, 3000, 12000},
};

constexpr double kDefaultVolume = 50.0 / 15.0;
constexpr double kHighVolume = 3.34;
constexpr double kFirstEntryBoost = 1.25;
constexpr int kHeaderBlock = 46;
constexpr int kTailTrim = 120;
constexpr int kMaxSamples = 6000;
const int16_t kMark[10] = {0, 1, 1, -1, -1, 1, 1, -1, -1, 0};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
  return uint16_t(b[at] | b[at + 1] << 8);
}
std::string Tag(const std::vector<uint8_t>& b, size_t at) {
  return std::string(b.begin() + at, b.begin() + at + 4);
}

std::vector<uint8_t> ReadUnit(const std::string& name) {
  std::ifstream in(std::string(KV_UNITS_DIR) + "/" + name + ".wav", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool MarkAt(const std::vector<int16_t>& s, size_t i) {
  if (i + 10 > s.size()) return false;
  for (int k = 0; k < 10; ++k)
    if (s[i + k] != kMark[k]) return false;
  return true;
}

// A unit as the synthesizer sees it.
struct Unit {
  std::vector<uint8_t> bytes;
  std::vector<int16_t> data;  // every sample of the data chunk
  std::vector<int16_t> pcm;   // pcm[i] is the engine's sample i (1-based); pcm[0] unused
  int w = 0;                  // samples left after the tail trim
  std::vector<int> markAt;    // engine sample numbers where marks start
  std::vector<std::vector<int16_t>> segments;
};

Unit Load(const std::string& name) {
  Unit u;
  u.bytes = ReadUnit(name);
  if (u.bytes.size() < 44) return u;
  uint32_t dataBytes = Le32(u.bytes, 40);
  for (size_t i = 44; i + 1 < 44 + size_t(dataBytes) && i + 1 < u.bytes.size(); i += 2)
    u.data.push_back(int16_t(Le16(u.bytes, i)));
  // Assembly: r = size - 46, even, minus the tail trim.
  int r = int(u.bytes.size()) - kHeaderBlock;
  if (r % 2 && r > 0) --r;
  r -= kTailTrim;
  u.w = r / 2;
  u.pcm.assign(size_t(u.w) + 1, 0);
  for (int i = 1; i <= u.w; ++i) u.pcm[i] = int16_t(Le16(u.bytes, kHeaderBlock + 2 * (i - 1)));
  int start = 1;
  for (int i = 1; i <= u.w - 15; ++i) {
    if (MarkAt(u.pcm, size_t(i))) {
      u.markAt.push_back(i);
      u.segments.emplace_back(u.pcm.begin() + start, u.pcm.begin() + i);
      start = i + 10;
    }
  }
  u.segments.emplace_back(u.pcm.begin() + std::min(start, u.w + 1), u.pcm.end());
  return u;
}

int Peak(const std::vector<int16_t>& s);

// The burst of a voiced stop: the first segment clearly louder than the
// voice bar that fills most of the unit.
int Burst(const Unit& u) {
  std::vector<int> peaks;
  for (const auto& s : u.segments) peaks.push_back(Peak(s));
  std::vector<int> sorted = peaks;
  std::sort(sorted.begin(), sorted.end());
  int bar = sorted[sorted.size() / 2];
  for (size_t k = 0; k < peaks.size(); ++k)
    if (peaks[k] > 2 * bar) return int(k) + 1;
  return 0;
}

int Peak(const std::vector<int16_t>& s) {
  int p = 0;
  for (int16_t v : s) p = std::max(p, std::abs(int(v)));
  return p;
}

void PrintTo(const UnitInfo& info, std::ostream* os) {
  *os << info.name;
}

class UnitFile : public ::testing::TestWithParam<UnitInfo> {};
// Units the synthesizer cuts into several segments.
class SegmentedUnit : public ::testing::TestWithParam<UnitInfo> {};

std::vector<UnitInfo> Segmented() {
  std::vector<UnitInfo> out;
  for (const UnitInfo& info : kUnits)
    if (info.segments > 1) out.push_back(info);
  return out;
}

TEST_P(UnitFile, HasTheCanonicalPcmHeader) {
  Unit u = Load(GetParam().name);
  const auto& b = u.bytes;
  ASSERT_GE(b.size(), 44u + 2 * 40) << "missing or truncated unit";
  EXPECT_EQ(Tag(b, 0), "RIFF");
  EXPECT_EQ(Le32(b, 4), b.size() - 8) << "RIFF size must cover the whole file";
  EXPECT_EQ(Tag(b, 8), "WAVE");
  EXPECT_EQ(Tag(b, 12), "fmt ");
  EXPECT_EQ(Le32(b, 16), 16u);
  EXPECT_EQ(Le16(b, 20), 1) << "PCM";
  EXPECT_EQ(Le16(b, 22), 1) << "mono";
  EXPECT_EQ(Le32(b, 24), 22050u);
  EXPECT_EQ(Le32(b, 28), 44100u);
  EXPECT_EQ(Le16(b, 32), 2);
  EXPECT_EQ(Le16(b, 34), 16);
  EXPECT_EQ(Tag(b, 36), "data") << "samples must start at byte 44";
  EXPECT_EQ(Le32(b, 40) % 2, 0u);
}

TEST_P(UnitFile, EndsWithAMetadataChunkTheTailTrimRemoves) {
  Unit u = Load(GetParam().name);
  const auto& b = u.bytes;
  ASSERT_GE(b.size(), 44u);
  size_t dataEnd = 44 + Le32(b, 40);
  ASSERT_LT(dataEnd + 8, b.size()) << "no chunk after the data";
  EXPECT_EQ(Tag(b, dataEnd), "LIST");
  size_t chunk = 8 + Le32(b, dataEnd + 4);
  EXPECT_EQ(dataEnd + chunk, b.size()) << "the metadata chunk must end the file";
  EXPECT_EQ(chunk, 74u);
  // The trim takes the chunk and the audio just before it: that audio must be silence.
  int trimmedSamples = int(kTailTrim - chunk) / 2;
  ASSERT_GE(int(u.data.size()), trimmedSamples + 1);
  for (int k = 0; k <= trimmedSamples; ++k)
    EXPECT_EQ(u.data[u.data.size() - 1 - k], 0) << "sample " << k << " from the end";
}

TEST_P(UnitFile, StartsWithTheUnusedZeroSample) {
  Unit u = Load(GetParam().name);
  ASSERT_FALSE(u.data.empty());
  EXPECT_EQ(u.data[0], 0);
}

TEST_P(UnitFile, HasTheSegmentCountTheFrontEndExpects) {
  Unit u = Load(GetParam().name);
  EXPECT_EQ(int(u.segments.size()), GetParam().segments);
}

TEST_P(UnitFile, HasNoMarkOutsideTheScannedRange) {
  Unit u = Load(GetParam().name);
  int everywhere = 0;
  std::vector<int16_t> all(u.data.begin(), u.data.end());
  for (size_t i = 0; i < all.size(); ++i) everywhere += MarkAt(all, i) ? 1 : 0;
  EXPECT_EQ(everywhere, int(u.markAt.size()))
      << "a mark pattern lies where the synthesizer does not look for it";
  // Marks are separators: never back to back, never at the very start.
  for (size_t k = 0; k < u.markAt.size(); ++k) {
    EXPECT_GT(u.markAt[k], 1);
    if (k) {
      EXPECT_GT(u.markAt[k] - u.markAt[k - 1], 10);
    }
  }
}

TEST_P(UnitFile, IsShortEnough) {
  Unit u = Load(GetParam().name);
  EXPECT_GT(u.data.size(), 400u);
  EXPECT_LE(int(u.data.size()), kMaxSamples);
}

TEST_P(UnitFile, SitsInItsLoudnessBandAndCannotWrap) {
  const UnitInfo& info = GetParam();
  Unit u = Load(info.name);
  int peak = Peak(u.data);
  double usual = peak * info.usualGain * kDefaultVolume;
  EXPECT_GE(usual, info.minOutput);
  EXPECT_LE(usual, info.maxOutput);
  // Scaling wraps at 16 bits; the echo adds a little on top of that.
  EXPECT_LT(peak * info.largestGain * kHighVolume * kFirstEntryBoost, 31000.0);
}

// Dropping or repeating segments joins any segment end to any segment start:
// both must lie near zero, or at least take no bigger step than the sound
// itself takes between samples (noise), so that no join clicks.
TEST_P(SegmentedUnit, SegmentsJoinNearZero) {
  Unit u = Load(GetParam().name);
  std::vector<int> steps;
  for (const auto& s : u.segments)
    for (size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(int(s[i]) - int(s[i - 1])));
  std::sort(steps.begin(), steps.end());
  int ownStep = steps[steps.size() * 95 / 100];
  int allowed = std::max(Peak(u.data) / 5, ownStep);
  for (size_t k = 0; k < u.segments.size(); ++k) {
    const auto& s = u.segments[k];
    ASSERT_GE(s.size(), 60u) << "segment " << k + 1 << " is too short";
    EXPECT_LE(std::abs(int(s.front())), allowed) << "start of segment " << k + 1;
    EXPECT_LE(std::abs(int(s.back())), allowed) << "end of segment " << k + 1;
  }
}

TEST_P(SegmentedUnit, SegmentsAreAboutOnePitchPeriod) {
  Unit u = Load(GetParam().name);
  std::vector<size_t> lengths;
  for (const auto& s : u.segments) lengths.push_back(s.size());
  std::sort(lengths.begin(), lengths.end());
  size_t median = lengths[lengths.size() / 2];
  EXPECT_GE(median, 115u);
  EXPECT_LE(median, 145u);
}

INSTANTIATE_TEST_SUITE_P(AllUnits, UnitFile, ::testing::ValuesIn(kUnits),
                         [](const auto& p) { return std::string(p.param.name); });
INSTANTIATE_TEST_SUITE_P(MultiSegment, SegmentedUnit, ::testing::ValuesIn(Segmented()),
                         [](const auto& p) { return std::string(p.param.name); });

// Stops with a voice bar: the burst must lie beyond the segments that the
// stretch repeats (4 ... b-4), or it would be heard twice.
TEST(VoicedStops, BurstLiesBeyondTheStretchRange) {
  for (const char* name : {"B", "D", "DV"}) {
    Unit u = Load(name);
    int b = int(u.segments.size());
    ASSERT_GT(b, 8) << name;
    EXPECT_GT(Burst(u), b - 4) << name;
  }
}

// The drop sweeps of the shortening step take every 2nd segment up to
// 2*(m/2-2) (then every odd one) and every 3rd up to 3*(m/3); the burst of B and
// D sits where neither reaches.
TEST(VoicedStops, BurstSurvivesShortening) {
  for (const char* name : {"B", "D"}) {
    Unit u = Load(name);
    int m = int(u.segments.size());
    int seg = Burst(u);
    bool evenSweep = seg <= 2 * (m / 2 - 2) + 1;
    bool thirdSweep = seg % 3 == 0 && seg <= 3 * (m / 3);
    EXPECT_FALSE(evenSweep || thirdSweep) << name << ": burst in segment " << seg;
  }
}

// Every unit the front-end can name exists.
TEST(Inventory, HasAllThirtyFourUnits) {
  for (const UnitInfo& info : kUnits) EXPECT_FALSE(ReadUnit(info.name).empty()) << info.name;
  EXPECT_EQ(std::size(kUnits), 34u);
}

// The header block of every synthesized wave is the first 46 bytes of unit A.
TEST(Inventory, UnitAGivesAValidHeaderBlock) {
  Unit a = Load("A");
  ASSERT_GE(a.bytes.size(), 46u);
  EXPECT_EQ(Le16(a.bytes, 44), 0) << "the header block's sample must be silent";
}

}  // namespace
