// Which audio file format kvtts writes: the one --format names, else the one the output file's
// extension names, else WAV. Decided before any work, so a name we cannot write is refused
// without leaving a file behind.
#pragma once

#include <optional>
#include <string>

#include "sapi/audio_file_format.h"

namespace kv::apps {

// The format, or nothing with the reason in *error.
std::optional<sapi::AudioFileFormat> ChooseOutputFormat(const std::string& formatName,
                                                        const std::string& outputPath,
                                                        std::string* error);

}  // namespace kv::apps
