// No encoders: every file is WAV (the format table names no other).
#include "sapi/encoders.h"

namespace kv::sapi {
namespace {

class NoEncoder final : public SoundWriter {
 public:
  explicit NoEncoder(const SoundWriterOptions& options) {
    Fail("cannot write '" + options.name + "': only WAV files can be written here");
  }
  bool Write(std::span<const uint8_t>) override { return false; }
  bool Finish() override { return false; }
};

}  // namespace

bool EncoderCanWrite(const AudioFileFormatInfo&) {
  return false;
}

std::unique_ptr<SoundWriter> OpenEncodedWriter(std::FILE*, const WAVEFORMATEX&,
                                               const SoundWriterOptions& options) {
  return std::make_unique<NoEncoder>(options);
}

}  // namespace kv::sapi
