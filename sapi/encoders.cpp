#include "sapi/encoders.h"

#include "sapi/codec_libraries.h"
#include "sapi/encoded_writer.h"

namespace kv::sapi {

bool EncoderCanWrite(const AudioFileFormatInfo& info) {
  const CodecLibraries* codecs = Codecs();
  if (codecs == nullptr) return false;
  SF_INFO probe{};
  probe.samplerate = info.format == AudioFileFormat::Opus ? 24000 : 22050;
  probe.channels = 1;
  probe.format = info.sndfileFormat;
  return codecs->sf_format_check(&probe) != 0;
}

std::unique_ptr<SoundWriter> OpenEncodedWriter(std::FILE* file, const WAVEFORMATEX& pcm,
                                               const SoundWriterOptions& options) {
  return std::make_unique<EncodedWriter>(file, pcm, options);
}

}  // namespace kv::sapi
