// Runs the library start when the library is loaded. The loader runs a library's initializers
// in link order, and the start needs the synthesizer's static data to be initialized already,
// so this file is built into its own archive that is linked after the synthesizer.
namespace kv::engine {
void LibraryStart();
}

namespace {
__attribute__((constructor)) void RunLibraryStart() {
  kv::engine::LibraryStart();
}
}  // namespace
