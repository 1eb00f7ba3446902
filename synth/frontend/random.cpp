#include "synth/frontend/random.h"

#include <chrono>
#include <cstdlib>

#include "platform/numeric.h"

namespace kv::frontend {
namespace {
uint32_t state = 0;
}

void SetSeed(uint32_t seed) {
  state = seed;
}

void Reseed() {
  if (const char* env = std::getenv("KVTTS_SEED"); env != nullptr && *env != '\0') {
    try {
      SetSeed(static_cast<uint32_t>(StrToIntLenient(env)));
      return;
    } catch (const EConvertError&) {
      // Not a number: fall back to the clock.
    }
  }
  auto now = std::chrono::system_clock::now().time_since_epoch();
  SetSeed(
      static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

int32_t Random(int32_t n) {
  // Linear congruential generator; the high bits scale the draw to 0..n-1.
  state = state * 134775813u + 1u;
  if (n <= 0) return 0;
  return static_cast<int32_t>((uint64_t(state) * uint64_t(uint32_t(n))) >> 32);
}

}  // namespace kv::frontend
