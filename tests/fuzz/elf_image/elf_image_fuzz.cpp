// libFuzzer target: bytes as a library file checked before it is loaded. The check of the
// bytes and the check of the same bytes as a file on disk must agree, and a verdict other than
// whole always says what is wrong.
#include <fstream>

#include "platform/elf_image.h"
#include "platform/paths.h"
#include "tests/fuzz/fuzz_check.h"

using kv::fuzz::Require;
using kv::platform::ElfCheck;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ElfCheck image = kv::platform::CheckElfImage({data, size});
  Require((image.verdict == ElfCheck::Verdict::Whole) == image.problem.empty(),
          "a problem is told exactly when the image is not whole");
  if (size < 4 || data[0] != 0x7F || data[1] != 'E' || data[2] != 'L' || data[3] != 'F')
    Require(image.verdict == ElfCheck::Verdict::NotElf, "bytes without the ELF magic are no ELF");

  static const std::filesystem::path file = kv::platform::PrefixDir() / "fuzz.so";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  const ElfCheck onDisk = kv::platform::CheckElfFile(file);
  Require(onDisk.verdict == image.verdict, "the file on disk gets the verdict of its bytes");
  if (size > 0) Require(onDisk.problem == image.problem, "and the same reason");
  return 0;
}
