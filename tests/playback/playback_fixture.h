// A synthesizer over the test units, speaking on a manual clock into the capture backend.
#pragma once

#include <cstdlib>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "platform/sound.h"
#include "synth/say_text.h"
#include "tests/support/test_prefix.h"

namespace kv::test {

using Bytes = std::vector<uint8_t>;

// The capture backend, whose word starts can be made to fail a number of times (a start that
// fails after a successful probe).
class FlakyCapture : public platform::CaptureBackend {
 public:
  bool Start(std::span<const uint8_t> wave) override {
    if (wave.size() > kHeaderBlock + 2 && failWordStarts > 0) {
      --failWordStarts;
      ++failedStarts;
      return false;
    }
    return CaptureBackend::Start(wave);
  }
  int failWordStarts = 0;
  int failedStarts = 0;
};

struct Event {
  std::string text;
  bool hasWave = false;
  Bytes wave;
  int64_t atMs = 0;
  size_t recordsBefore = 0;  // waves the backend had received when the event came
  int32_t wordCount = 0;     // WordCount when the event came
};

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Reference waves are rebuilt by a second synthesizer: both must draw the same intonation.
    ::setenv("KVTTS_SEED", "1", 1);
    clock = std::make_shared<platform::ManualClock>(0);
    loop().SetClock(clock);
    auto backend = std::make_unique<FlakyCapture>();
    capture = backend.get();
    previous = platform::SetSoundBackend(std::move(backend));
    SynthesisSettings = SynthesisParameters();
    synth = std::make_unique<TSayText>(1);
    Listen(*synth);
  }
  void TearDown() override {
    synth.reset();
    platform::SetSoundBackend(std::move(previous));
    loop().SetClock(nullptr);
  }

  static platform::MessageLoop& loop() { return platform::MessageLoop::Current(); }

  void Listen(TSayText& voice) {
    voice.OnSpeechEvent = [this, &voice](const std::string& text, const MemoryStream* wave) {
      Event e{text,           wave != nullptr,           {},
              clock->NowMs(), capture->Records().size(), voice.WordCount};
      if (wave) e.wave.assign(wave->Bytes().begin(), wave->Bytes().end());
      events.push_back(std::move(e));
    };
  }

  bool Ended() const { return !events.empty() && events.back().text.empty(); }
  // Runs the loop until the end event or until nothing is scheduled any more.
  void RunToEnd() {
    loop().RunUntil([&] { return Ended(); });
  }

  // The waves the backend received, without the one-sample silent waves of the probe and of
  // Say's stop.
  std::vector<platform::CaptureBackend::Record> Words() const {
    std::vector<platform::CaptureBackend::Record> out;
    const Bytes silent(synth->SilentWave->Bytes().begin(), synth->SilentWave->Bytes().end());
    for (const auto& r : capture->Records())
      if (r.wave != silent) out.push_back(r);
    return out;
  }

  // The waves that whole-word assembly produces for a text, word by word, on a synthesizer of
  // its own (slots alternating from slot 1, as playback does).
  static std::vector<Bytes> AssembledWaves(const std::string& text) {
    TSayText ref(1);
    ref.ResetEchoLines();
    ref.NewUtterance = true;
    ref.PendingText = text;
    std::vector<Bytes> out;
    for (int guard = 0; guard < 100; ++guard) {
      ref.WordReady = false;
      ref.SpeakStep();
      const auto bytes = ref.SlotWaves[ref.CurrentSlot].Bytes();
      out.emplace_back(bytes.begin(), bytes.end());
      if (ref.PendingText == kEndMarker) break;
      ref.CurrentSlot = ref.CurrentSlot == 1 ? 2 : 1;
    }
    return out;
  }

  std::shared_ptr<platform::ManualClock> clock;
  FlakyCapture* capture = nullptr;
  std::unique_ptr<platform::SoundBackend> previous;
  std::unique_ptr<TSayText> synth;
  std::vector<Event> events;
};

}  // namespace kv::test
