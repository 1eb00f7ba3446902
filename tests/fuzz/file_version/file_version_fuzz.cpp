// libFuzzer target: bytes as a library file whose version record the installer reads without
// loading it. The version is one line, and the file on disk reads as its bytes do.
#include <fstream>
#include <vector>

#include "installer/file_version.h"
#include "platform/paths.h"
#include "tests/fuzz/fuzz_check.h"

using kv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string version =
      kv::installer::FileVersionOfImage(std::vector<uint8_t>(data, data + size));
  Require(version.find('\n') == std::string::npos, "the version is one line");
  Require(!version.ends_with('\r'), "the version has no line end");

  static const std::filesystem::path file = kv::platform::PrefixDir() / "fuzz_version.so";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  Require(kv::installer::ReadFileVersion(file) == version, "the file reads as its bytes");
  return 0;
}
