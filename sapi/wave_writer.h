// Our WAV writer: the canonical 44-byte header (what every wave of the system has), patched
// with the sizes when the file is completed; a stream's header says "as long as it goes".
// Files that may grow past the 32-bit sizes start with a JUNK chunk in reserve and become RF64
// when they do; other files stop at the limit and say so, so a header never wraps.
#pragma once

#include <vector>

#include "sapi/sound_writer.h"

namespace kv::sapi {

class WaveWriter final : public SoundWriter {
 public:
  WaveWriter(std::FILE* file, const WAVEFORMATEX& pcm, const SoundWriterOptions& options);
  bool Write(std::span<const uint8_t> pcm) override;
  bool Finish() override;

 private:
  size_t HeaderSize() const { return reserve_ ? 80 : 44; }
  std::vector<uint8_t> Header() const;
  bool WriteHeader();
  // Writes the sizes so far into the header, behind the data written before.
  bool Patch();

  std::FILE* file_;
  WAVEFORMATEX format_;
  std::string name_;
  bool seekable_;
  bool reserve_;
  uint64_t limit_;  // bytes of audio that fit, whole frames
  uint64_t written_ = 0;
  uint64_t patched_ = 0;  // written_ when the header was last patched
  bool headerWritten_ = false;
};

}  // namespace kv::sapi
