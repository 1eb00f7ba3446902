// Whether a file is a whole ELF shared object of this machine, checked before the loader maps
// it: the loader trusts the headers and maps past the end of a cut-off file, and the first
// touch of a missing page kills the host with SIGBUS.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace kv::platform {

struct ElfCheck {
  enum class Verdict {
    Whole,   // every header and segment is there, for this machine
    NotElf,  // no ELF file at all (the loader refuses it by itself)
    Unfit,   // an ELF file that is cut off, damaged or made for another machine
  };
  Verdict verdict = Verdict::Whole;
  std::string problem;  // what is wrong, for a message; "" when whole
};

// Checks bytes as a loadable module of this machine: the identification and machine, the
// program headers and every segment they name, and the section headers must lie inside them.
ElfCheck CheckElfImage(std::span<const uint8_t> image);

// The same for a file on disk (read through a mapping of its actual length). A file that
// cannot be read is NotElf.
ElfCheck CheckElfFile(const std::filesystem::path& path);

}  // namespace kv::platform
