// The canonical 44-byte RIFF/WAVE header of PCM audio, as every wave the system writes has it.
#pragma once

#include <array>
#include <cstdint>

namespace kv::platform {

struct PcmFormat {
  uint16_t formatTag = 1;  // PCM
  uint16_t channels = 1;
  uint32_t samplesPerSecond = 22050;
  uint32_t averageBytesPerSecond = 44100;
  uint16_t blockAlign = 2;
  uint16_t bitsPerSample = 16;
};

// The header of `dataBytes` bytes of audio in the format (16-bit mono at 22 050 Hz by default).
std::array<uint8_t, 44> MakeWaveHeader(uint32_t dataBytes, const PcmFormat& format = {});

}  // namespace kv::platform
