#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/message_loop.h"
#include "tests/support/test_prefix.h"

namespace kv::platform {
namespace {

// A wave of the system's format with `samples` samples of value `value`.
std::vector<uint8_t> Wave(size_t samples, int16_t value = 1000) {
  std::vector<uint8_t> w(44 + 2 * samples);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) w[at + i] = uint8_t(v >> (8 * i));
  };
  std::memcpy(w.data(), "RIFF", 4);
  put32(4, uint32_t(36 + 2 * samples));
  std::memcpy(w.data() + 8, "WAVEfmt ", 8);
  put32(16, 16);
  w[20] = 1, w[22] = 1;
  put32(24, 22050);
  put32(28, 44100);
  w[32] = 2, w[34] = 16;
  std::memcpy(w.data() + 36, "data", 4);
  put32(40, uint32_t(2 * samples));
  for (size_t i = 0; i < samples; ++i) {
    w[44 + 2 * i] = uint8_t(value);
    w[45 + 2 * i] = uint8_t(uint16_t(value) >> 8);
  }
  return w;
}

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock = std::make_shared<ManualClock>(5000);
    MessageLoop::Current().SetClock(clock);
    auto backend = std::make_unique<CaptureBackend>();
    capture = backend.get();
    previous = SetSoundBackend(std::move(backend));
  }
  void TearDown() override {
    SetSoundBackend(std::move(previous));
    MessageLoop::Current().SetClock(nullptr);
  }

  std::shared_ptr<ManualClock> clock;
  CaptureBackend* capture = nullptr;
  std::unique_ptr<SoundBackend> previous;
};

TEST(WaveDuration, FollowsTheDeclaredDataLength) {
  EXPECT_EQ(WaveDurationMs(Wave(22050)), 1000);
  EXPECT_EQ(WaveDurationMs(Wave(2205)), 100);
  EXPECT_EQ(WaveDurationMs(Wave(1)), 0);
  auto cut = Wave(22050);
  cut.resize(44 + 4410);  // fewer bytes than declared: what is there counts
  EXPECT_EQ(WaveDurationMs(cut), 100);
  EXPECT_EQ(WaveDurationMs(std::vector<uint8_t>(43)), 0);
  EXPECT_EQ(WaveDurationMs(std::vector<uint8_t>(100)), 0);  // no RIFF
}

TEST(WaveParse, ReadsFormatAndDeclaredData) {
  auto w = Wave(10);
  w.resize(w.size() + 74);  // a trailing chunk is not data
  WaveView view;
  ASSERT_TRUE(ParseWave(w, view));
  EXPECT_EQ(view.channels, 1);
  EXPECT_EQ(view.sampleRate, 22050u);
  EXPECT_EQ(view.bitsPerSample, 16);
  EXPECT_EQ(view.data.size(), 20u);
  EXPECT_FALSE(ParseWave(std::vector<uint8_t>(20), view));
}

TEST(SilentBackend, LastsTheWavesDurationOnTheLoopClock) {
  auto clock = std::make_shared<ManualClock>(0);
  MessageLoop::Current().SetClock(clock);
  auto silent = MakeSilentBackend();
  EXPECT_EQ(silent->Name(), "silent");
  EXPECT_FALSE(silent->IsPlaying());
  EXPECT_TRUE(silent->Start(Wave(4410)));  // 200 ms
  clock->Advance(199);
  EXPECT_TRUE(silent->IsPlaying());
  clock->Advance(1);
  EXPECT_FALSE(silent->IsPlaying());
  silent->Start(Wave(4410));
  silent->Stop();
  EXPECT_FALSE(silent->IsPlaying());
  MessageLoop::Current().SetClock(nullptr);
}

TEST_F(SoundTest, PlainStartStopsWhatPlaysAndStartsTheNewWave) {
  EXPECT_TRUE(SndPlaySound(Wave(4410, 1), SND_ASYNC | SND_MEMORY));
  clock->Advance(50);
  EXPECT_TRUE(SndPlaySound(Wave(2205, 2), SND_ASYNC | SND_MEMORY));
  ASSERT_EQ(capture->Records().size(), 2u);
  EXPECT_EQ(capture->Interrupted(), 1);
  EXPECT_EQ(capture->Records()[1].startMs, 5050);
  clock->Advance(99);
  EXPECT_TRUE(capture->IsPlaying());  // the second wave's 100 ms, not the first's 200
  clock->Advance(1);
  EXPECT_FALSE(capture->IsPlaying());
}

TEST_F(SoundTest, NoStopProbeFailsWhilePlayingAndPlaysItsWaveOtherwise) {
  const uint32_t probe = SND_ASYNC | SND_MEMORY | SND_NOSTOP;
  ASSERT_TRUE(SndPlaySound(Wave(2205), SND_ASYNC | SND_MEMORY));
  EXPECT_FALSE(SndPlaySound(Wave(1, 0), probe));
  EXPECT_EQ(capture->Records().size(), 1u);  // the probe's wave did not start
  clock->Advance(100);
  EXPECT_TRUE(SndPlaySound(Wave(1, 0), probe));
  EXPECT_EQ(capture->Records().size(), 2u);
  EXPECT_EQ(capture->Interrupted(), 0);
}

TEST_F(SoundTest, BusyDeviceMakesEveryStartFail) {
  capture->SetBusy(true);
  EXPECT_FALSE(SndPlaySound(Wave(10), SND_ASYNC | SND_MEMORY));
  EXPECT_FALSE(SndPlaySound(Wave(10), SND_ASYNC | SND_MEMORY | SND_NOSTOP));
  EXPECT_TRUE(capture->Records().empty());
  capture->SetBusy(false);
  EXPECT_TRUE(SndPlaySound(Wave(10), SND_ASYNC | SND_MEMORY));
}

TEST_F(SoundTest, CaptureFileHoldsThePcmOfEveryWaveInOrder) {
  const auto file = kv::test::Prefix() / "captured.wav";
  CaptureBackend toFile(file.string());
  auto a = Wave(3, 7), b = Wave(2, -9);
  b.resize(b.size() + 74);  // a trailing chunk is not played
  toFile.Start(a);
  toFile.Start(b);
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> got((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(got.size(), 44u + 10);
  WaveView view;
  ASSERT_TRUE(ParseWave(got, view));
  EXPECT_EQ(view.sampleRate, 22050u);
  EXPECT_EQ(view.data.size(), 10u);
  std::vector<uint8_t> expected(a.begin() + 44, a.end());
  expected.insert(expected.end(), b.begin() + 44, b.begin() + 48);
  EXPECT_EQ(std::vector<uint8_t>(view.data.begin(), view.data.end()), expected);
}

TEST(SoundChoice, NamesTheBackends) {
  std::string notes;
  EXPECT_EQ(MakeSoundBackend("silent", &notes)->Name(), "silent");
  EXPECT_EQ(MakeSoundBackend("capture", &notes)->Name(), "capture");
  const auto file = kv::test::Prefix() / "choice.wav";
  EXPECT_EQ(MakeSoundBackend("capture:" + file.string(), &notes)->Name(), "capture");
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_TRUE(notes.empty());
}

TEST(SoundChoice, AMissingDeviceFallsBackToSilentAndSaysSo) {
  std::string notes;
  auto backend = MakeSoundBackend("alsa:kvtts-no-such-device", &notes);
  EXPECT_EQ(backend->Name(), "silent");
  EXPECT_FALSE(notes.empty());
  notes.clear();
  EXPECT_EQ(MakeSoundBackend("bogus", &notes)->Name().empty(), false);
  EXPECT_NE(notes.find("bogus"), std::string::npos);
}

TEST(SoundChoice, AutomaticChoiceIsAlsaOrSilentWithANote) {
  std::string notes;
  auto backend = MakeSoundBackend("", &notes);
  if (backend->Name() == "silent")
    EXPECT_FALSE(notes.empty());
  else
    EXPECT_EQ(backend->Name().rfind("alsa:", 0), 0u);
}

TEST(AlsaBackend, PlaysIntoTheNullDeviceWhenAlsaIsBuiltIn) {
  auto alsa = MakeAlsaBackend("null");
  if (!AlsaBuiltIn() || !alsa) GTEST_SKIP() << "no ALSA null device here";
  EXPECT_EQ(alsa->Name(), "alsa:null");
  EXPECT_TRUE(alsa->Start(Wave(441)));
  alsa->Stop();
  EXPECT_FALSE(alsa->IsPlaying());  // stopped at once
  EXPECT_TRUE(alsa->Start(Wave(10)));
  EXPECT_FALSE(alsa->Start(std::vector<uint8_t>(10)));  // not a wave
}

}  // namespace
}  // namespace kv::platform
