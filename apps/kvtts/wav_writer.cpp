#include "apps/kvtts/wav_writer.h"

#include <string>

#include "platform/wave_header.h"

namespace kv::apps {

void WriteWav(std::ostream& out, std::string_view pcm) {
  const uint32_t data = uint32_t(pcm.size() & ~size_t(1));
  const auto h = platform::MakeWaveHeader(data);
  out.write(reinterpret_cast<const char*>(h.data()), std::streamsize(h.size()));
  out.write(pcm.data(), std::streamsize(data));
}

}  // namespace kv::apps
