#include "apps/kvtts/wav_writer.h"

#include <string>

namespace kv::apps {
namespace {

void U32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
}
void U16(std::string& s, uint16_t v) {
  s += char(v & 0xFF);
  s += char(v >> 8);
}

}  // namespace

void WriteWav(std::ostream& out, std::string_view pcm) {
  const uint32_t data = uint32_t(pcm.size() & ~size_t(1));
  std::string h = "RIFF";
  U32(h, 36 + data);
  h += "WAVEfmt ";
  U32(h, 16);
  U16(h, 1);  // PCM
  U16(h, 1);  // mono
  U32(h, kSampleRate);
  U32(h, kSampleRate * 2);
  U16(h, 2);
  U16(h, 16);
  h += "data";
  U32(h, data);
  out.write(h.data(), std::streamsize(h.size()));
  out.write(pcm.data(), std::streamsize(data));
}

}  // namespace kv::apps
