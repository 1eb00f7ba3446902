// The fuzz programs' prefix: a fresh temporary one per process unless KVTTS_PREFIX names one,
// in shared memory where there is some (the registry syncs every write), removed at exit.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

struct FuzzPrefix {
  fs::path dir;
  FuzzPrefix() {
    ::setenv("KVTTS_SOUND", "silent", 0);
    ::setenv("KVTTS_SEED", "1", 0);  // the front-end's jitter the same in every run
    if (std::getenv("KVTTS_PREFIX") != nullptr) return;
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "kvtts-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    dir = pattern;
    ::setenv("KVTTS_PREFIX", dir.c_str(), 1);
  }
  ~FuzzPrefix() {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
};

const FuzzPrefix g_prefix;

}  // namespace
