#include "platform/module.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace kv::platform {
namespace {

struct FindObject {
  const void* address;
  std::string name;
  bool found = false;
  bool isMain = false;
};

int VisitObject(dl_phdr_info* info, size_t, void* data) {
  auto* find = static_cast<FindObject*>(data);
  const auto addr = reinterpret_cast<ElfW(Addr)>(find->address);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type != PT_LOAD) continue;
    const ElfW(Addr) start = info->dlpi_addr + ph.p_vaddr;
    if (addr >= start && addr < start + ph.p_memsz) {
      find->found = true;
      find->name = info->dlpi_name ? info->dlpi_name : "";
      find->isMain = find->name.empty();
      return 1;
    }
  }
  return 0;
}

}  // namespace

std::optional<std::span<const uint8_t>> ModuleHandle::FindResource(std::string_view type,
                                                                   std::string_view name) const {
  return table_.Find(type, name);
}

ModuleHandle::ModuleHandle(const unsigned char* begin, const unsigned char* end)
    : begin_(begin), table_(std::span<const uint8_t>(begin, size_t(end - begin))) {}

std::filesystem::path ModuleHandle::FileName() const {
  FindObject find{begin_, {}};
  dl_iterate_phdr(VisitObject, &find);
  if (!find.found || find.isMain) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe;
  }
  std::error_code ec;
  auto full = std::filesystem::absolute(find.name, ec);
  return ec ? std::filesystem::path(find.name) : full;
}

std::optional<ModuleFile> ModuleFile::Open(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return FromBytes(
      std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

std::optional<ModuleFile> ModuleFile::FromBytes(std::vector<uint8_t> image) {
  auto bytes = std::make_shared<std::vector<uint8_t>>(std::move(image));
  const std::vector<uint8_t>& b = *bytes;
  if (b.size() < sizeof(Elf64_Ehdr) || std::memcmp(b.data(), ELFMAG, SELFMAG) != 0 ||
      b[EI_CLASS] != ELFCLASS64)
    return std::nullopt;
  Elf64_Ehdr eh;
  std::memcpy(&eh, b.data(), sizeof eh);
  if (eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shoff > b.size() ||
      uint64_t(eh.e_shnum) * sizeof(Elf64_Shdr) > b.size() - eh.e_shoff ||
      eh.e_shstrndx >= eh.e_shnum)
    return std::nullopt;
  auto section = [&](size_t i) {
    Elf64_Shdr sh;
    std::memcpy(&sh, b.data() + eh.e_shoff + i * sizeof(Elf64_Shdr), sizeof sh);
    return sh;
  };
  const Elf64_Shdr names = section(eh.e_shstrndx);
  if (names.sh_offset > b.size() || names.sh_size > b.size() - names.sh_offset) return std::nullopt;
  for (size_t i = 0; i < eh.e_shnum; ++i) {
    const Elf64_Shdr sh = section(i);
    if (sh.sh_name >= names.sh_size) continue;
    const char* name = reinterpret_cast<const char*>(b.data() + names.sh_offset + sh.sh_name);
    const size_t maxLen = names.sh_size - sh.sh_name;
    if (strnlen(name, maxLen) == maxLen || std::strcmp(name, ".kvrsrc") != 0) continue;
    if (sh.sh_type == SHT_NOBITS || sh.sh_offset > b.size() || sh.sh_size > b.size() - sh.sh_offset)
      return std::nullopt;
    ModuleFile file;
    file.bytes_ = bytes;
    file.table_ = std::make_shared<ResourceTable>(
        std::span<const uint8_t>(b.data() + sh.sh_offset, sh.sh_size));
    if (!file.table_->Valid()) return std::nullopt;
    return file;
  }
  return std::nullopt;
}

}  // namespace kv::platform
