// The table of audio file formats: our WAV writer and libsndfile's encoders, with the settings
// chosen for speech. The compression levels are libsndfile's scale; the bit rates they give on
// our 22 050 Hz mono speech are noted beside them.
#include <sndfile.h>

#include "sapi/audio_file_format.h"

namespace kv::sapi {

namespace {

constexpr AudioFileFormatInfo kFormats[] = {
    {AudioFileFormat::Wav, "wav", ".wav", "WAV", 0, -1, -1},
    // Lossless; libsndfile's default level packs to about 60 % of the WAV.
    {AudioFileFormat::Flac, "flac", ".flac", "FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, -1, -1},
    // Variable rate, about 42 kbit/s.
    {AudioFileFormat::Vorbis, "ogg", ".ogg .oga", "Ogg Vorbis", SF_FORMAT_OGG | SF_FORMAT_VORBIS,
     0.85, -1},
    // Variable rate, about 24 kbit/s: the usual rate for mono spoken word. Opus takes 24 000
    // samples per second, so the speech is resampled on the way.
    {AudioFileFormat::Opus, "opus", ".opus", "Opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 0.928, -1},
    // Constant 40 kbit/s: players (and libsndfile itself) find the length of a constant-rate
    // stream without the header that a pipe cannot get afterwards.
    {AudioFileFormat::Mp3, "mp3", ".mp3", "MP3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.79,
     SF_BITRATE_MODE_CONSTANT},
};

}  // namespace

std::span<const AudioFileFormatInfo> AudioFileFormats() {
  return kFormats;
}

std::string_view FormatNameList() {
  return "wav, flac, ogg, opus, mp3";
}

}  // namespace kv::sapi
