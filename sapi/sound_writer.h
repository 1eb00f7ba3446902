// Writers of PCM into an audio file: our own WAV writer and libsndfile's encoders behind one
// face, so that the file destination and kvtts's own path stream speech the same way, a word
// or a cache's worth at a time, never holding the whole audio.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "sapi/audio_file_format.h"
#include "sapi/sapi4.h"

namespace kv::sapi {

// The most bytes of audio a RIFF WAV file can describe (its sizes are 32-bit).
inline constexpr uint64_t kRiffDataLimit = 0xFFFFFFFFu;

// The size limit of WAV audio data: 4 GiB, or less when the environment variable
// KVTTS_WAV_LIMIT gives a number of bytes (for tests, which cannot write 4 GiB).
uint64_t WavDataLimit();

// Whether the WAV of a text this long might pass the limit: the engine makes about 3 300 bytes
// of one character of ordinary text; this allows for speech five times slower.
inline bool MayPassWavLimit(uint64_t characters, uint64_t limit = WavDataLimit()) {
  constexpr uint64_t kMostBytesPerChar = 16384;
  return characters * kMostBytesPerChar >= limit;
}

struct SoundWriterOptions {
  AudioFileFormat format = AudioFileFormat::Wav;
  // Standard output and other streams cannot be patched afterwards: a WAV stream says "as long
  // as it goes" in its header, encoders leave out what they would fill in at the end.
  bool seekable = true;
  // WAV: leave room for an RF64 header (a JUNK chunk, as readers skip it) so that the file can
  // grow past the limit; without it the writer stops at the limit and reports it.
  bool mayPassWavLimit = false;
  uint64_t wavLimit = WavDataLimit();
  std::string name;  // the file, for messages
};

class SoundWriter {
 public:
  virtual ~SoundWriter() = default;
  // Takes PCM in the format given at creation, in any pieces (a sample may be split).
  virtual bool Write(std::span<const uint8_t> pcm) = 0;
  // Completes the file. A WAV file may take more audio and be completed again; an encoded one
  // is closed for good.
  virtual bool Finish() = 0;
  bool Failed() const { return !problem_.empty(); }
  // What went wrong, as a sentence; empty while all is well.
  const std::string& Problem() const { return problem_; }
  // Whether the file is worth keeping: all went well, or it was cut short on purpose (a WAV
  // file at its size limit) and is whole up to there. Not after a failed write.
  bool Whole() const { return problem_.empty() || whole_; }

 protected:
  void Fail(std::string problem, bool whole = false) {
    if (!problem_.empty()) return;
    problem_ = std::move(problem);
    whole_ = whole;
  }

 private:
  std::string problem_;
  bool whole_ = false;
};

// "cannot write 'book.wav': No space left on device": what a writer says of a failed write.
std::string WriteProblem(const std::string& name, int error);

// Whether a file can be patched when complete: a regular file, not a pipe or a device.
bool Patchable(std::FILE* file);

// A writer of the PCM format into the open file (which the caller keeps and closes after the
// writer). Never null: a writer that could not start says so in Problem().
std::unique_ptr<SoundWriter> OpenSoundWriter(std::FILE* file, const WAVEFORMATEX& pcm,
                                             const SoundWriterOptions& options);

}  // namespace kv::sapi
