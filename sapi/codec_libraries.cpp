#include "sapi/codec_libraries.h"

#include <dlfcn.h>

namespace kv::sapi {

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(::dlsym(library, name));
  return *function != nullptr;
}

bool Load(CodecLibraries* c) {
  // Kept loaded for the rest of the process: encoders may run again.
  void* sndfile = ::dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL);
  void* soxr = ::dlopen("libsoxr.so.0", RTLD_NOW | RTLD_LOCAL);
  if (sndfile == nullptr || soxr == nullptr) return false;
  return Find(sndfile, "sf_format_check", &c->sf_format_check) &&
         Find(sndfile, "sf_open_virtual", &c->sf_open_virtual) &&
         Find(sndfile, "sf_command", &c->sf_command) && Find(sndfile, "sf_error", &c->sf_error) &&
         Find(sndfile, "sf_strerror", &c->sf_strerror) &&
         Find(sndfile, "sf_writef_short", &c->sf_writef_short) &&
         Find(sndfile, "sf_close", &c->sf_close) && Find(soxr, "soxr_create", &c->soxr_create) &&
         Find(soxr, "soxr_process", &c->soxr_process) &&
         Find(soxr, "soxr_delete", &c->soxr_delete) &&
         Find(soxr, "soxr_io_spec", &c->soxr_io_spec) &&
         Find(soxr, "soxr_quality_spec", &c->soxr_quality_spec);
}

}  // namespace

const CodecLibraries* Codecs() {
  static CodecLibraries libraries{};
  static const bool loaded = Load(&libraries);
  return loaded ? &libraries : nullptr;
}

}  // namespace kv::sapi
