#include "apps/kvtts/interrupt.h"

#include <csignal>

namespace kv::apps {

namespace {

volatile std::sig_atomic_t g_signal = 0;

void Note(int signal) {
  g_signal = signal;
}

}  // namespace

void CatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = Note;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_RESTART;  // the second signal takes its default course
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

int Interruption() {
  return g_signal;
}

}  // namespace kv::apps
