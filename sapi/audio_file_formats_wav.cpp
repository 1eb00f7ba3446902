// The table of audio file formats where there are no encoders: our WAV writer alone.
#include "sapi/audio_file_format.h"

namespace kv::sapi {
namespace {

constexpr AudioFileFormatInfo kFormats[] = {
    {AudioFileFormat::Wav, "wav", ".wav", "WAV", 0, -1, -1},
};

}  // namespace

std::span<const AudioFileFormatInfo> AudioFileFormats() {
  return kFormats;
}

std::string_view FormatNameList() {
  return "wav";
}

}  // namespace kv::sapi
