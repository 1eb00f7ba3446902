// Allocations kept for the life of the process where the leak checker cannot see them: GLib's
// in thread-local storage (the engine's tests check without thread-local roots, see
// tests/engine/lsan_options.cpp), fontconfig's caches, and the dynamic loader's dependency list
// of the dialogs module, which stays loaded (RTLD_NODELETE).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\nleak:libfontconfig.so\nleak:_dl_map_object_deps\n";
}
