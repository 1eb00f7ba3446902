// Properties the fuzz targets check beside "no crash": a broken one is told on standard error
// and ends the process as a crash would, so that libFuzzer keeps the input and the replay test
// fails on it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kv::fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", property);
  std::abort();
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace kv::fuzz
