// The encoders of the compressed formats, where the system has them: libsndfile's here, none
// on Windows (WAV only, our own writer).
#pragma once

#include <cstdio>
#include <memory>

#include "sapi/audio_file_format.h"
#include "sapi/sound_writer.h"

namespace kv::sapi {

// Whether the format's encoder is at hand (the format is not our own WAV).
bool EncoderCanWrite(const AudioFileFormatInfo& info);

// A writer through the format's encoder; never null (a failure is in its Problem()).
std::unique_ptr<SoundWriter> OpenEncodedWriter(std::FILE* file, const WAVEFORMATEX& pcm,
                                               const SoundWriterOptions& options);

}  // namespace kv::sapi
