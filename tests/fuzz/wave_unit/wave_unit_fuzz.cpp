// libFuzzer target: bytes as a sound unit (a WAV resource: the header block, then samples with
// their segment marks) and as unit "a", whose header block starts every word's wave. Whatever
// the unit holds, its sound is whole 16-bit samples, and the word's wave reads back as a wave
// whose data lies inside it.
#include "platform/sound.h"
#include "synth/say_text.h"
#include "tests/fuzz/fuzz_check.h"

using kv::fuzz::Require;

namespace {

kv::TSayText& Synth() {
  static kv::TSayText* synth = new kv::TSayText(1);
  return *synth;
}

kv::TCharacter Entry(std::string_view unit, int32_t duration, double gain) {
  kv::TCharacter e;
  e.Unit = unit;
  e.Duration = duration;
  e.Gain = gain;
  return e;
}

void AssembleUnits(kv::TSayText& t, const kv::MemoryStream& unit, bool glide) {
  kv::TCharacter shifted = Entry("a", 40, 1.0), stretched = Entry("e", 400, 0.8);
  shifted.PitchShift = 3;
  shifted.FinalPitch = -3;
  stretched.FirstSegment = 2;
  stretched.DroppedSegments = 1;
  const bool glideBefore = kv::SynthesisSettings.PitchGlideOn;
  kv::SynthesisSettings.PitchGlideOn = glide;
  for (const kv::TCharacter& e : {shifted, stretched, Entry("k", 0, 1.0)}) {
    kv::MemoryStream out;
    t.AssembleUnitWave(e, std::string(e.Unit.View()), unit, out);
    Require(out.Size() % 2 == 0, "a unit's sound is whole samples");
    t.MixEchoUnit(out);
  }
  kv::SynthesisSettings.PitchGlideOn = glideBefore;
}

void CheckWordWave(kv::TSayText& t, std::span<const uint8_t> unit) {
  t.WaveHeader.reset();
  t.SilentWave.reset();
  t.TakeWaveHeader(unit);
  t.Words[t.CurrentSlot].Reset();
  t.AssembleWord();
  const kv::MemoryStream& wave = t.SlotWaves[t.CurrentSlot];
  Require(wave.Size() >= kv::kHeaderBlock, "a word's wave starts with the header block");
  const std::span<const uint8_t> bytes(wave.Data(), wave.Size());
  kv::platform::WaveView view;
  if (kv::platform::ParseWave(bytes, view))
    Require(view.data.data() >= bytes.data() + 44 &&
                view.data.data() + view.data.size() <= bytes.data() + bytes.size(),
            "the wave's data lies inside it");
  Require(kv::platform::WaveDurationMs(bytes) >= 0, "a wave lasts no negative time");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::TSayText& t = Synth();
  t.ResetEchoLines();
  kv::MemoryStream unit;
  unit.Write(data, size);
  AssembleUnits(t, unit, size % 2 == 1);
  CheckWordWave(t, {data, size});
  return 0;
}
