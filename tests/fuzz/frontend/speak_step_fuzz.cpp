// libFuzzer target: arbitrary bytes through SpeakStep (see fuzz_one.h for the input's layout).
#include <cstdlib>

#include "tests/fuzz/frontend/fuzz_one.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("KVTTS_SEED", "1", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::test::FuzzOne(data, size);
  return 0;
}
