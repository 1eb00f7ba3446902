// Ctrl-C in the console: the runtime's signal, which takes its default course the second time.
#include <csignal>

#include "apps/kvtts/interrupt.h"

namespace kv::apps {

namespace {

volatile std::sig_atomic_t g_signal = 0;

void Note(int signal) {
  g_signal = signal;
}

}  // namespace

void CatchInterrupts() {
  std::signal(SIGINT, Note);
  std::signal(SIGTERM, Note);
}

int Interruption() {
  return g_signal;
}

}  // namespace kv::apps
