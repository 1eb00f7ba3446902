// Leak checking for test programs that load the engine library. The library has thread-local
// data (the synthesizer's scratch buffer), and the sanitizer's walk over dynamically loaded
// modules' thread-local blocks at exit can read a stale entry and crash instead of reporting.
// Thread-local roots are not needed here: at exit the main thread's thread-local objects have
// already been destroyed, so every leak is still found from the globals and the stacks.
extern "C" const char* __lsan_default_options() {
  return "use_tls=0";
}
