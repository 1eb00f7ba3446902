// The toolkit's event loop drives our per-thread message loop: one single-shot precise timer is
// armed for the loop's next due time, and armed again whenever the toolkit is about to wait
// (in nested loops too, so a modal exec() keeps our window timers firing). Calls posted to our
// loop wake the toolkit's loop. No polling: nothing runs while nothing is due. On a manual
// clock (tests) the idle toolkit loop moves the clock straight to the next due time.
#pragma once

namespace kv::dialogs {

// Installs the driver for the calling thread's loop (the thread of the application object).
// Idempotent; the driver lives as long as the process.
void InstallLoopDriver();

}  // namespace kv::dialogs
