#include "platform/wave_header.h"

#include <cstring>

namespace kv::platform {
namespace {

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

std::array<uint8_t, 44> MakeWaveHeader(uint32_t dataBytes, const PcmFormat& f) {
  std::array<uint8_t, 44> header{};
  uint8_t* h = header.data();
  std::memcpy(h, "RIFF", 4);
  PutU32(h + 4, dataBytes + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutU32(h + 16, 16);
  PutU16(h + 20, f.formatTag);
  PutU16(h + 22, f.channels);
  PutU32(h + 24, f.samplesPerSecond);
  PutU32(h + 28, f.averageBytesPerSecond);
  PutU16(h + 32, f.blockAlign);
  PutU16(h + 34, f.bitsPerSample);
  std::memcpy(h + 36, "data", 4);
  PutU32(h + 40, dataBytes);
  return header;
}

}  // namespace kv::platform
