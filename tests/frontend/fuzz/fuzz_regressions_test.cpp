// Replays the fuzz inputs kept in tests/frontend/fuzz/regressions and seeds through the
// front-end: each must end its text without a crash or a sanitizer report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/frontend/fuzz/fuzz_one.h"

namespace kv::test {
namespace {

TEST(FuzzRegressions, KeptInputsRunClean) {
  size_t count = 0;
  for (const char* dir : {KV_FUZZ_DIR "/regressions", KV_FUZZ_DIR "/seeds"}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      SCOPED_TRACE(entry.path().string());
      FuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++count;
    }
  }
  EXPECT_GT(count, 0u);
}

}  // namespace
}  // namespace kv::test
