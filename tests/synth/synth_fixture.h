// A synthesizer over the test units, with the process-wide parameters set so that a unit
// passes through assembly unchanged unless a test asks for more.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "synth/say_text.h"
#include "tests/support/test_prefix.h"

namespace kv::test {

class SynthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPrefix();
    SynthesisSettings = SynthesisParameters();
    synth = std::make_unique<TSayText>(1);
    SynthesisSettings.Pitch = 0;
    SynthesisSettings.PitchGlideOn = false;
    SynthesisSettings.IntonationOn = false;
    SynthesisSettings.EchoTrackCount = 0;
  }

  static TCharacter Entry(std::string_view unit, int32_t durationMs = 5) {
    TCharacter e;
    e.Unit = unit;
    e.Duration = durationMs;
    e.Gain = 1.0;
    return e;
  }

  std::vector<int16_t> Assemble(const TCharacter& e) {
    MemoryStream out;
    synth->AssembleUnit(e, out);
    std::vector<int16_t> samples;
    for (size_t i = 0; i < out.Size() / 2; ++i) samples.push_back(out.Sample(i));
    return samples;
  }

  // Test unit "A": three segments 102..121, 202..221 and 302..320 (the last sample of a unit
  // ends its last segment and is never played).
  static std::vector<int16_t> UnitA() {
    std::vector<int16_t> s;
    for (int k = 1; k <= 3; ++k)
      for (int i = 0; i < (k == 3 ? 19 : 20); ++i) s.push_back(int16_t(k * 100 + i + 2));
    return s;
  }

  std::unique_ptr<TSayText> synth;
};

}  // namespace kv::test
