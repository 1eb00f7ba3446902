// The voice settings store: factory defaults in the registry and the process-wide synthesis
// parameters every synthesizer of the process shares.
#pragma once

#include <cstdint>
#include <string_view>

namespace kv {

inline constexpr std::string_view kEngineKey = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS";
inline constexpr std::string_view kSettingsVersion = "1.1.1.73";

struct SynthesisParameters {
  double Volume = 2.0;
  int32_t Pitch = 100;  // re-pitch count; set per voice by each new synthesizer
  double Speed = 1.0;
  int32_t EchoTrackCount = 3;  // 0..10 echo taps
  int32_t EchoDelay = 1200;    // samples
  int32_t EchoVolume = 8;      // percent
  bool IntonationOn = true;
  bool PitchGlideOn = true;
};

// Shared by every synthesizer in the process: the voice that loaded last applies to all.
extern SynthesisParameters SynthesisSettings;

// Writes "Version" and the factory values of the three voices when the stored version is
// (byte-wise) older than this release. Run once at start-up by each deliverable.
void WriteSettingsDefaults();

}  // namespace kv
