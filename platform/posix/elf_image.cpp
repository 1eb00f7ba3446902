#include "platform/elf_image.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace kv::platform {
namespace {

using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);
using Shdr = ElfW(Shdr);

#if defined(__x86_64__)
constexpr uint16_t kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr uint16_t kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr uint16_t kMachine = EM_386;
#else
#error "the machine of this build is unknown to the module check"
#endif
constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kData =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;

// Whether [offset, offset + count * size) lies inside `total`, without overflow.
bool Covers(uint64_t total, uint64_t offset, uint64_t count, uint64_t size) {
  if (offset > total) return false;
  return size == 0 || count <= (total - offset) / size;
}

template <typename T>
T Read(std::span<const uint8_t> image, uint64_t offset) {
  T value;
  std::memcpy(&value, image.data() + offset, sizeof value);
  return value;
}

bool HasMagic(std::span<const uint8_t> image) {
  return image.size() >= SELFMAG && std::memcmp(image.data(), ELFMAG, SELFMAG) == 0;
}

std::string IdentProblem(std::span<const uint8_t> image) {
  if (image.size() < sizeof(Ehdr)) return "shorter than an ELF header";
  if (image[EI_CLASS] != kClass || image[EI_DATA] != kData) return "ELF file of another machine";
  const Ehdr eh = Read<Ehdr>(image, 0);
  if (eh.e_machine != kMachine) return "ELF file of another machine";
  if (eh.e_type != ET_DYN) return "not a shared object";
  return {};
}

std::string SegmentProblem(std::span<const uint8_t> image, const Ehdr& eh) {
  if (eh.e_phnum == 0 || eh.e_phentsize != sizeof(Phdr)) return "no program headers";
  if (!Covers(image.size(), eh.e_phoff, eh.e_phnum, sizeof(Phdr)))
    return "cut off inside its program headers";
  for (uint16_t i = 0; i < eh.e_phnum; ++i) {
    const Phdr ph = Read<Phdr>(image, eh.e_phoff + uint64_t(i) * sizeof(Phdr));
    if (ph.p_filesz != 0 && !Covers(image.size(), ph.p_offset, 1, ph.p_filesz))
      return "cut off inside a segment (file shorter than its headers say)";
  }
  return {};
}

std::string SectionProblem(std::span<const uint8_t> image, const Ehdr& eh) {
  if (eh.e_shoff == 0) return {};  // no section headers: nothing the loader reads
  if (eh.e_shentsize != sizeof(Shdr)) return "damaged section headers";
  if (!Covers(image.size(), eh.e_shoff, 1, sizeof(Shdr))) return "cut off before its sections";
  // With more than SHN_LORESERVE sections the count is kept in the first header.
  uint64_t count = eh.e_shnum;
  if (count == 0) count = Read<Shdr>(image, eh.e_shoff).sh_size;
  if (!Covers(image.size(), eh.e_shoff, count, sizeof(Shdr)))
    return "cut off inside its section headers";
  return {};
}

}  // namespace

ElfCheck CheckElfImage(std::span<const uint8_t> image) {
  if (!HasMagic(image)) return {ElfCheck::Verdict::NotElf, "not an ELF file"};
  std::string problem = IdentProblem(image);
  if (problem.empty()) {
    const Ehdr eh = Read<Ehdr>(image, 0);
    problem = SegmentProblem(image, eh);
    if (problem.empty()) problem = SectionProblem(image, eh);
  }
  if (problem.empty()) return {};
  return {ElfCheck::Verdict::Unfit, std::move(problem)};
}

ElfCheck CheckElfFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return {ElfCheck::Verdict::NotElf, "cannot be opened: " + std::string(std::strerror(errno))};
  struct stat st {};
  ElfCheck check{ElfCheck::Verdict::NotElf, "not a regular file"};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    // Mapped at its length now: the check itself reads nothing past the end.
    const size_t size = size_t(st.st_size);
    void* map = size == 0 ? MAP_FAILED : ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      check = CheckElfImage({static_cast<const uint8_t*>(map), size});
      ::munmap(map, size);
    } else {
      check.problem = "empty or unreadable";
    }
  }
  ::close(fd);
  return check;
}

}  // namespace kv::platform
