// A WAV file of 16-bit mono PCM at the synthesizer's rate.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace kv::apps {

inline constexpr uint32_t kSampleRate = 22050;

// Writes the 44-byte RIFF header for `data_bytes` bytes of PCM, then the PCM itself.
void WriteWav(std::ostream& out, std::string_view pcm);

}  // namespace kv::apps
