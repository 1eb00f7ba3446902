// The process-wide random generator of the front-end's jitter. Intonation reseeds it from
// the clock at every word; KVTTS_SEED=N in the environment makes every reseed use N instead,
// so that output is reproducible.
#pragma once

#include <cstdint>

namespace kv::frontend {

// Seeds from KVTTS_SEED when set (a decimal integer), else from the clock.
void Reseed();
void SetSeed(uint32_t seed);
// A uniformly drawn integer from 0 to n - 1; 0 when n <= 0.
int32_t Random(int32_t n);

}  // namespace kv::frontend
