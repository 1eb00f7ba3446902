// Files beside a module: kept beside it in the user's own folders, and as a per-user copy in
// the prefix when the module lies in an installation or a folder the user cannot write.
#include "platform/beside_module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/test_prefix.h"

namespace kv::platform {
namespace {
namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(FileBesideModule, StaysBesideAModuleInTheUsersOwnFolder) {
  const fs::path dir = fs::canonical(test::Prefix()) / "build" / "bin";
  fs::create_directories(dir);
  EXPECT_EQ(FileBesideModule(dir / "kvtts", ".dct"), dir / "kvtts.dct");
  EXPECT_FALSE(fs::exists(test::Prefix() / "virtual-store"));
}

// The package's folders belong to the package manager (root may write them, but a file left
// there survives a purge); a folder nobody may write (here /proc/self) is the same case.
TEST(FileBesideModule, KeepsAPerUserCopyForAnInstallationOrAnUnwritableFolder) {
  const fs::path root = fs::canonical(test::Prefix()) / "unpacked" / "usr";
  const fs::path lib = root / InstalledLibraryDir();
  fs::create_directories(lib);
  fs::create_directories(root / "bin");
  std::ofstream(lib / "kv_ttse.so") << "engine";
  std::ofstream(lib / "kv_ttse.dct") << "tts=text tu spíč\n";
  const fs::path store = fs::canonical(test::Prefix()) / "virtual-store";

  const fs::path copy = FileBesideModule(lib / "kv_ttse.so", ".dct");
  EXPECT_EQ(copy, store / lib.relative_path() / "kv_ttse.dct");
  EXPECT_EQ(Contents(copy), "tts=text tu spíč\n") << "seeded from the shipped file";
  std::ofstream(copy) << "edited=by the user\n";
  EXPECT_EQ(FileBesideModule(lib / "kv_ttse.so", ".dct"), copy);
  EXPECT_EQ(Contents(copy), "edited=by the user\n") << "seeded only once";
  EXPECT_EQ(Contents(lib / "kv_ttse.dct"), "tts=text tu spíč\n");

  EXPECT_EQ(FileBesideModule(root / "bin" / "kvtts", ".dct"),
            store / root.relative_path() / "bin" / "kvtts.dct");
  EXPECT_FALSE(fs::exists(root / "bin" / "kvtts.dct"));
  EXPECT_EQ(FileBesideModule("/proc/self/kvtts", ".dct"),
            store / fs::canonical("/proc/self").relative_path() / "kvtts.dct");
}

}  // namespace
}  // namespace kv::platform
