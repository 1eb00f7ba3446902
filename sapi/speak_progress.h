// How far speaking has got, for the progress line and for the line an interruption leaves.
#pragma once

#include <cstdint>
#include <string>

namespace kv::sapi {

struct SpeakProgress {
  uint64_t textDone = 0, textTotal = 0;  // characters
  uint64_t audioBytes = 0;
  uint32_t bytesPerSecond = 0;  // of the audio; 0 before the engine set its format
  bool finished = false;        // the last call, after the end of the speech
};

// "1:02:03" (hours, minutes, seconds), or "2:03" under an hour.
std::string ClockText(double seconds);

// "Interrupted at 37% of the text (1:23 of audio): " followed by where the audio is.
std::string InterruptedLine(const SpeakProgress& progress, const std::string& kept);

}  // namespace kv::sapi
