// sd_kvtts_prosody: what the speech-dispatcher settings do to the sound (no part of the tests).
// Register the engine first (regsvr build/lib/kv_ttse.so).
//
//   sd_kvtts_prosody [raw | grid FIRST LAST STEP]
//
// Speaks one sentence in process into the capture output on a manual clock and prints, for
// each rate, pitch and volume the server can send, the length of the speech against rate 0,
// its zero crossings per second (a rough pitch) and its loudness (RMS and peak). "raw" prints
// the same for the engine's own speed attribute and tone tag instead; "grid" the length at
// each speed attribute FIRST..LAST and a few tones (the table in speech_rate.cpp).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "apps/sd_kvtts/module_protocol.h"
#include "platform/cp1250.h"
#include "platform/message_loop.h"
#include "platform/sound.h"

namespace {

constexpr const char* kSentence = "Dobrý den, jak se máte? Rychlost řeči se dá měnit.";

struct Sound {
  double seconds = 0, crossings = 0, rms = 0;
  int peak = 0;
};

Sound Measure(const kv::platform::CaptureBackend& capture) {
  std::vector<int16_t> pcm;
  for (const auto& record : capture.Records()) {
    kv::platform::WaveView view;
    if (!kv::platform::ParseWave(record.wave, view)) continue;
    const size_t at = pcm.size();
    pcm.resize(at + view.data.size() / 2);
    std::memcpy(pcm.data() + at, view.data.data(), view.data.size() / 2 * 2);
  }
  Sound s;
  s.seconds = pcm.size() / 22050.0;
  double sum = 0;
  int crossings = 0;
  size_t loud = 0;
  for (size_t i = 0; i < pcm.size(); ++i) {
    sum += double(pcm[i]) * pcm[i];
    s.peak = std::max(s.peak, std::abs(int(pcm[i])));
    if (i == 0 || std::abs(pcm[i]) < 300) continue;
    ++loud;
    crossings += (pcm[i] < 0) != (pcm[i - 1] < 0);
  }
  s.rms = pcm.empty() ? 0 : std::sqrt(sum / pcm.size());
  s.crossings = loud == 0 ? 0 : crossings * 22050.0 / loud;
  return s;
}

class Bench {
 public:
  Bench() {
    auto backend = std::make_unique<kv::platform::CaptureBackend>();
    capture_ = backend.get();
    kv::platform::SetSoundBackend(std::move(backend));
    loop_.SetClock(clock_);
    std::string problem;
    if (!speaker_.Load(&problem)) {
      std::fprintf(stderr, "%s\n", problem.c_str());
      std::exit(1);
    }
  }
  ~Bench() { loop_.SetClock(nullptr); }

  Sound Speak(const kv::speechd::Utterance& u) {
    capture_->Clear();
    std::string problem;
    if (!speaker_.Speak(u, &problem)) std::fprintf(stderr, "%s\n", problem.c_str());
    loop_.RunUntil([&] { return !speaker_.Speaking(); }, 600000);
    return Measure(*capture_);
  }
  // The utterance the module makes of the sentence with these settings.
  static kv::speechd::Utterance With(const kv::speechd::MessageSettings& s) {
    kv::speechd::Utterance u;
    u.speed = s.Speed();
    u.text.text = s.ProsodyTags() + kv::cp1250::FromUtf8Lenient(kSentence);
    return u;
  }

 private:
  kv::platform::MessageLoop& loop_ = kv::platform::MessageLoop::Current();
  std::shared_ptr<kv::platform::ManualClock> clock_ =
      std::make_shared<kv::platform::ManualClock>(0);
  kv::platform::CaptureBackend* capture_ = nullptr;
  kv::speechd::Speaker speaker_{[](std::string_view) {}};
};

void Row(const char* what, int value, const Sound& s, double base) {
  std::printf("%-8s %5d   length %6.3f s (%5.2fx)   crossings %6.0f/s   rms %6.0f   peak %5d\n",
              what, value, s.seconds, s.seconds / base, s.crossings, s.rms, s.peak);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("KVTTS_SEED", "1", 0);  // the same intonation draws for every row
  Bench bench;
  kv::speechd::MessageSettings normal;
  const double base = bench.Speak(Bench::With(normal)).seconds;
  if (argc > 2 && std::strcmp(argv[1], "grid") == 0) {
    for (int speed = std::atoi(argv[2]); speed <= std::atoi(argv[3]); speed += std::atoi(argv[4]))
      for (int tone : {-12, -6, -3, 0, 3, 6, 9, 12}) {
        kv::speechd::Utterance u;
        u.speed = uint32_t(speed);
        u.text.text =
            "\\ton=" + std::to_string(tone) + "\\" + kv::cp1250::FromUtf8Lenient(kSentence);
        std::printf("%d %d %.3f\n", speed, tone, bench.Speak(u).seconds / base);
      }
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "raw") == 0) {
    for (int speed : {10, 30, 50, 70, 90, 110, 130, 151, 170, 190, 210, 230, 250}) {
      kv::speechd::Utterance u = Bench::With(normal);
      u.speed = uint32_t(speed);
      Row("speed", speed, bench.Speak(u), base);
    }
    for (int tone = -12; tone <= 12; ++tone) {
      kv::speechd::Utterance u;
      u.text.text = "\\ton=" + std::to_string(tone) + "\\" + kv::cp1250::FromUtf8Lenient(kSentence);
      Row("tone", tone, bench.Speak(u), base);
    }
    return 0;
  }
  for (int rate = -100; rate <= 100; rate += 25) {
    kv::speechd::MessageSettings s;
    s.rate = rate;
    Row("rate", rate, bench.Speak(Bench::With(s)), base);
  }
  for (int pitch = -100; pitch <= 100; pitch += 25) {
    kv::speechd::MessageSettings s;
    s.pitch = pitch;
    Row("pitch", pitch, bench.Speak(Bench::With(s)), base);
  }
  for (int volume = -100; volume <= 100; volume += 25) {
    kv::speechd::MessageSettings s;
    s.volume = volume;
    Row("volume", volume, bench.Speak(Bench::With(s)), base);
  }
  return 0;
}
