// The audio file formats that speech can be written in, and how to tell them by name or by a
// file's extension.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace kv::sapi {

enum class AudioFileFormat { Wav, Flac, Vorbis, Opus, Mp3 };

struct AudioFileFormatInfo {
  AudioFileFormat format;
  const char* name;        // as --format takes it
  const char* extensions;  // space-separated, lower case, with the dot
  const char* title;       // for messages
  int sndfileFormat;       // libsndfile's major and subtype; 0: our own writer
  // libsndfile's compression level (0 best quality .. 1 smallest); negative: its default.
  double compressionLevel;
  int bitrateMode;  // libsndfile's SF_BITRATE_MODE_*; negative: its default
};

std::span<const AudioFileFormatInfo> AudioFileFormats();
const AudioFileFormatInfo& InfoOf(AudioFileFormat format);
// By name or extension, in any case ("opus", "OGG"); nothing when unknown.
std::optional<AudioFileFormat> FormatNamed(std::string_view name);
// By the path's extension; nothing when it has another one. A path without an extension
// (/dev/null, a fifo) is WAV, as it always was.
std::optional<AudioFileFormat> FormatOfPath(const std::filesystem::path& path);
// Whether the libsndfile at hand can write the format (WAV always: we write it ourselves).
bool CanWrite(AudioFileFormat format);
// "wav, flac, ogg, opus, mp3", for messages and help.
std::string_view FormatNameList();

}  // namespace kv::sapi
