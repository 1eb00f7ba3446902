// Ctrl-C and SIGTERM during long work: the first one asks the work to stop where it is (the
// file is completed as far as it got and kept), a second one ends the program at once.
#pragma once

namespace kv::apps {

// Catches SIGINT and SIGTERM from now on.
void CatchInterrupts();
// The signal that asked the work to stop, or 0.
int Interruption();

}  // namespace kv::apps
