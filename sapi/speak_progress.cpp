#include "sapi/speak_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kv::sapi {

std::string ClockText(double seconds) {
  const long long s = std::llround(std::max(0.0, seconds));
  char text[32];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
  return text;
}

std::string InterruptedLine(const SpeakProgress& p, const std::string& kept) {
  const uint64_t percent = p.textTotal > 0 ? p.textDone * 100 / p.textTotal : 0;
  const double audio = p.bytesPerSecond > 0 ? double(p.audioBytes) / p.bytesPerSecond : 0.0;
  return "Interrupted at " + std::to_string(percent) + "% of the text (" + ClockText(audio) +
         " of audio): " + kept + ".";
}

}  // namespace kv::sapi
