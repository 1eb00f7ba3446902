// libFuzzer target: arbitrary bytes through SpeakStep. Run with tests/frontend/fuzz/run_fuzz.sh.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/frontend/fuzz/fuzz_one.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::getenv("KVTTS_PREFIX") == nullptr) {
    std::string dir = (std::filesystem::temp_directory_path() / "kvtts-fuzz-prefix").string();
    ::setenv("KVTTS_PREFIX", dir.c_str(), 1);
  }
  ::setenv("KVTTS_SEED", "1", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::test::FuzzOne(data, size);
  return 0;
}
