#include "platform/beside_module.h"

#include <unistd.h>

#include <array>
#include <system_error>

#include "platform/paths.h"

#ifndef KV_PRIVATE_LIB_DIR
#define KV_PRIVATE_LIB_DIR "lib/kvtts"
#endif

namespace kv::platform {
namespace fs = std::filesystem;

namespace {

// Whether `dir` is bin/, the speech-dispatcher module folder or the private library folder of
// an installation (one whose library folder holds the engine).
bool IsInstallationFolder(const fs::path& dir) {
  const fs::path lib = InstalledLibraryDir();
  fs::path libRoot = dir;
  for (auto part = lib.begin(); part != lib.end(); ++part) libRoot = libRoot.parent_path();
  const std::array<fs::path, 3> roots = {dir.parent_path(), dir.parent_path().parent_path(),
                                         libRoot};
  for (const fs::path& root : roots) {
    if (dir != root / "bin" && dir != root / "lib/speech-dispatcher-modules" && dir != root / lib)
      continue;
    std::error_code ec;
    if (fs::is_regular_file(root / lib / "kv_ttse.so", ec)) return true;
  }
  return false;
}

bool IsUsersFolder(const fs::path& dir) {
  return ::access(dir.c_str(), W_OK) == 0 && !IsInstallationFolder(dir);
}

// The per-user copy, seeded once from the shipped file; failures leave it to the first write.
void SeedCopy(const fs::path& shipped, const fs::path& copy) {
  std::error_code ec;
  if (fs::exists(copy, ec)) return;
  fs::create_directories(copy.parent_path(), ec);
  if (!fs::is_regular_file(shipped, ec)) return;
  if (fs::copy_file(shipped, copy, fs::copy_options::skip_existing, ec))
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    ec);
}

}  // namespace

fs::path InstalledLibraryDir() {
  return KV_PRIVATE_LIB_DIR;
}

fs::path FileBesideModule(const fs::path& module, const std::string& ext) {
  std::error_code ec;
  fs::path beside = fs::weakly_canonical(module, ec);
  if (ec) beside = module;
  beside = ChangeFileExt(beside, ext);
  if (IsUsersFolder(beside.parent_path())) return beside;
  fs::path copy;
  try {
    copy = PrefixDir() / "virtual-store" / beside.relative_path();
  } catch (const std::exception&) {
    return beside;  // no prefix at all: nothing better to offer
  }
  SeedCopy(beside, copy);
  return copy;
}

}  // namespace kv::platform
