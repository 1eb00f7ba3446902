// Compressed audio files through libsndfile (FLAC, Ogg Vorbis, Opus, MP3), encoded as the
// speech comes. Opus takes only its own sample rates, so other rates are resampled (libsoxr) to
// the next one up.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sapi/codec_libraries.h"
#include "sapi/encoder_output.h"
#include "sapi/sound_writer.h"

namespace kv::sapi {

class EncodedWriter final : public SoundWriter {
 public:
  EncodedWriter(std::FILE* file, const WAVEFORMATEX& pcm, const SoundWriterOptions& options);
  ~EncodedWriter() override;
  bool Write(std::span<const uint8_t> pcm) override;
  bool Finish() override;

 private:
  bool Open(std::FILE* file, const SoundWriterOptions& options);
  bool Encode(const int16_t* frames, size_t count);
  bool Resample(const int16_t* frames, size_t count);
  // Why the encoder failed at `what`: the failed write if there was one, else its own word.
  std::string Reason(const char* what, SNDFILE* file) const;

  const CodecLibraries* codecs_ = nullptr;
  SNDFILE* sndfile_ = nullptr;
  soxr_t resampler_ = nullptr;
  WAVEFORMATEX format_;
  std::string title_;
  std::string name_;
  std::unique_ptr<EncoderOutput> output_;  // before sndfile_ is opened, after it is closed
  std::vector<uint8_t> staged_;            // bytes of a frame not yet whole
  std::vector<int16_t> samples_, resampled_;
};

}  // namespace kv::sapi
