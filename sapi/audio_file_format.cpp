#include "sapi/audio_file_format.h"

#include <string>

#include "platform/cp1250.h"
#include "sapi/encoders.h"

namespace kv::sapi {

const AudioFileFormatInfo& InfoOf(AudioFileFormat format) {
  for (const AudioFileFormatInfo& info : AudioFileFormats())
    if (info.format == format) return info;
  return AudioFileFormats().front();
}

std::optional<AudioFileFormat> FormatNamed(std::string_view name) {
  const std::string wanted(name);
  if (wanted.empty()) return std::nullopt;
  for (const AudioFileFormatInfo& info : AudioFileFormats()) {
    if (cp1250::SameText(wanted, info.name)) return info.format;
    const std::string_view extensions = info.extensions;
    for (size_t at = 0; at < extensions.size();) {
      size_t end = extensions.find(' ', at);
      if (end == std::string_view::npos) end = extensions.size();
      const std::string extension(extensions.substr(at, end - at));
      if (cp1250::SameText(wanted, extension) || cp1250::SameText(wanted, extension.substr(1)))
        return info.format;
      at = end + 1;
    }
  }
  if (cp1250::SameText(wanted, "vorbis")) return AudioFileFormat::Vorbis;
  return std::nullopt;
}

std::optional<AudioFileFormat> FormatOfPath(const std::filesystem::path& path) {
  const std::string extension = path.extension().string();
  if (extension.empty()) return AudioFileFormat::Wav;
  return FormatNamed(extension);
}

bool CanWrite(AudioFileFormat format) {
  const AudioFileFormatInfo& info = InfoOf(format);
  if (info.sndfileFormat == 0) return true;
  return EncoderCanWrite(info);
}

}  // namespace kv::sapi
