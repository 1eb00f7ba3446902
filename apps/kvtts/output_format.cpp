#include "apps/kvtts/output_format.h"

namespace kv::apps {

std::optional<sapi::AudioFileFormat> ChooseOutputFormat(const std::string& formatName,
                                                        const std::string& outputPath,
                                                        std::string* error) {
  std::optional<sapi::AudioFileFormat> format;
  const std::string names(sapi::FormatNameList());
  if (!formatName.empty()) {
    format = sapi::FormatNamed(formatName);
    if (!format) {
      *error = "unknown format '" + formatName + "' (" + names + ")";
      return std::nullopt;
    }
  } else {
    format = sapi::FormatOfPath(outputPath);
    if (!format) {
      *error = "cannot tell the audio format of '" + outputPath + "' by its extension (" + names +
               "); name the file so, or give --format";
      return std::nullopt;
    }
  }
  if (!sapi::CanWrite(*format)) {
    *error = std::string("this system cannot write ") + sapi::InfoOf(*format).title +
             " files (it needs libsndfile.so.1 with the codec, and libsoxr.so.0)";
    return std::nullopt;
  }
  return format;
}

}  // namespace kv::apps
