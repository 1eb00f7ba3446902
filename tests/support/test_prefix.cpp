#include "tests/support/test_prefix.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace kv::test {
namespace fs = std::filesystem;

namespace {

struct TempPrefix {
  fs::path dir;
  TempPrefix() {
    std::string pattern = (fs::temp_directory_path() / "kvtts-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    dir = pattern;
    ::setenv("KVTTS_PREFIX", dir.c_str(), 1);
    ::setenv("KVTTS_SOUND", "silent", 1);  // tests never make real sound
  }
  ~TempPrefix() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

TempPrefix& Instance() {
  static TempPrefix prefix;
  return prefix;
}

// Set the prefix before any test touches the registry.
[[maybe_unused]] const bool g_initialised = (Instance(), true);

}  // namespace

fs::path Prefix() {
  return Instance().dir;
}

void ResetPrefix() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(Instance().dir, ec)) fs::remove_all(entry, ec);
}

}  // namespace kv::test
