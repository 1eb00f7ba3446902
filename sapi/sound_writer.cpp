#include "sapi/sound_writer.h"

#include <sys/stat.h>

#include <cstring>

#include "sapi/encoders.h"
#include "sapi/wave_writer.h"

namespace kv::sapi {

std::string WriteProblem(const std::string& name, int error) {
  return "cannot write '" + name + "': " + std::strerror(error);
}

bool Patchable(std::FILE* file) {
  struct stat info {};
  return ::fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

std::unique_ptr<SoundWriter> OpenSoundWriter(std::FILE* file, const WAVEFORMATEX& pcm,
                                             const SoundWriterOptions& options) {
  if (options.format == AudioFileFormat::Wav)
    return std::make_unique<WaveWriter>(file, pcm, options);
  return OpenEncodedWriter(file, pcm, options);
}

}  // namespace kv::sapi
