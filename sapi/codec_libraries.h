// libsndfile and libsoxr, loaded on the first use of a compressed format. WAV work, the engine
// path's usual load, then carries none of the codecs libsndfile brings (FLAC, Vorbis, Opus,
// LAME, mpg123): linked in, they alone would add 1.5 MiB to every kvtts's peak memory.
#pragma once

#include <sndfile.h>
#include <soxr.h>

namespace kv::sapi {

struct CodecLibraries {
  decltype(&::sf_format_check) sf_format_check;
  decltype(&::sf_open_virtual) sf_open_virtual;
  decltype(&::sf_command) sf_command;
  decltype(&::sf_error) sf_error;
  decltype(&::sf_strerror) sf_strerror;
  decltype(&::sf_writef_short) sf_writef_short;
  decltype(&::sf_close) sf_close;
  decltype(&::soxr_create) soxr_create;
  decltype(&::soxr_process) soxr_process;
  decltype(&::soxr_delete) soxr_delete;
  decltype(&::soxr_io_spec) soxr_io_spec;
  decltype(&::soxr_quality_spec) soxr_quality_spec;
};

// The libraries' functions, or null when either library (or a function) is missing.
const CodecLibraries* Codecs();

}  // namespace kv::sapi
