#include "apps/kvtts/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kv::apps {

using sapi::ClockText;

namespace {

constexpr auto kInterval = std::chrono::milliseconds(250);

}  // namespace

bool WantProgress(bool quiet, bool forced) {
  return !quiet && (forced || ::isatty(STDERR_FILENO) != 0);
}

ProgressLine::ProgressLine(std::FILE* out) : out_(out), start_(Clock::now()) {
  long long afterMs = 1000;
  if (const char* value = std::getenv("KVTTS_PROGRESS_AFTER_MS"); value != nullptr && *value)
    afterMs = std::atoll(value);
  after_ = std::chrono::milliseconds(std::max(0LL, afterMs));
  next_ = start_ + after_;
}

void ProgressLine::Update(const sapi::SpeakProgress& progress) {
  const Clock::time_point now = Clock::now();
  if (progress.finished) {
    if (!shown_) return;  // work that ended within the second leaves no line behind
  } else if (now < next_) {
    return;
  }
  next_ = now + kInterval;
  Show(progress, std::chrono::duration<double>(now - start_).count());
  if (progress.finished) std::fputc('\n', out_);
  std::fflush(out_);
}

void ProgressLine::Show(const sapi::SpeakProgress& p, double elapsed) {
  const double share = p.textTotal > 0 ? double(p.textDone) / double(p.textTotal) : 1.0;
  const double audio = p.bytesPerSecond > 0 ? double(p.audioBytes) / p.bytesPerSecond : 0.0;
  std::string line =
      std::to_string(int(share * 100)) + "% of the text, " + ClockText(audio) + " of audio, ";
  if (elapsed > 0) line += std::to_string(std::llround(audio / elapsed)) + "x real time, ";
  if (p.finished)
    line += "done in " + ClockText(elapsed);
  else if (share > 0)
    line += ClockText(elapsed * (1 - share) / share) + " left";
  else
    line += "time left unknown";
  // Spaces wipe what a longer line before left.
  const size_t length = line.size();
  if (length < shownLength_) line.append(shownLength_ - length, ' ');
  shownLength_ = length;
  std::fprintf(out_, "\r%s", line.c_str());
  shown_ = true;
}

}  // namespace kv::apps
