// The progress line of long work: one line on standard error, rewritten in place, with the
// share of the text spoken, the audio time written, the speed and the time left. It appears
// only once the work has taken a second (short texts never show it), and changes at most four
// times a second, so it costs nothing beside the speech.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "sapi/speak_through_engine.h"

namespace kv::apps {

// Whether to show the line: stderr is a terminal (or `forced`), unless `quiet`.
bool WantProgress(bool quiet, bool forced);

class ProgressLine {
 public:
  // Writes to `out`. KVTTS_PROGRESS_AFTER_MS changes the second of silence (tests use 0).
  explicit ProgressLine(std::FILE* out);
  void Update(const sapi::SpeakProgress& progress);

 private:
  using Clock = std::chrono::steady_clock;
  void Show(const sapi::SpeakProgress& progress, double elapsed);

  std::FILE* out_;
  Clock::time_point start_;
  Clock::duration after_;
  Clock::time_point next_;
  size_t shownLength_ = 0;
  bool shown_ = false;
};

}  // namespace kv::apps
