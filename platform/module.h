// Modules and their resources. Every program and library of the system carries its resources
// (voice units, payload) in a ".kvrsrc" section written by the resource compiler; a module is
// identified by that section, as a Windows module is by its instance handle.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Symbols that each module defines for itself (a Windows module never shares its own).
#if defined(_WIN32)
#define KV_MODULE_LOCAL
#else
#define KV_MODULE_LOCAL __attribute__((visibility("hidden")))
#endif

extern "C" {
// Defined in each module by its generated resource source; hidden, so every module sees its own.
// Here the bounds of the module's resource blob; on Windows, where the resources are the
// module's own Win32 resources, a mark inside the module that finds its handle.
KV_MODULE_LOCAL extern const unsigned char kv_module_resources[];
KV_MODULE_LOCAL extern const unsigned char kv_module_resources_end[];
}

namespace kv::platform {

// A parsed resource table over bytes that outlive it (a loaded module, or a file's contents).
class ResourceTable {
 public:
  // An empty table when the bytes are no valid resource blob.
  explicit ResourceTable(std::span<const uint8_t> blob);

  // Type and name compare case-insensitively (Windows-1250). nullopt when absent.
  std::optional<std::span<const uint8_t>> Find(std::string_view type, std::string_view name) const;

  struct Entry {
    std::string type, name;
    std::span<const uint8_t> data;
  };
  const std::vector<Entry>& Entries() const { return entries_; }
  bool Valid() const { return valid_; }

 private:
  std::vector<Entry> entries_;
  bool valid_ = false;
};

// The running module that contains a piece of code.
class ModuleHandle {
 public:
  ModuleHandle(const unsigned char* begin, const unsigned char* end);

  const ResourceTable& Resources() const { return table_; }
  // A resource of the module by type and name (case-insensitive). nullopt when absent.
  std::optional<std::span<const uint8_t>> FindResource(std::string_view type,
                                                       std::string_view name) const;
  // Full file name of the module (the program or the shared library).
  std::filesystem::path FileName() const;

 private:
  const unsigned char* begin_;
  ResourceTable table_;
};

// The module the calling code is linked into. Hidden and inline, so that code compiled into
// several modules (the synthesizer) always finds its own module.
KV_MODULE_LOCAL inline const ModuleHandle& ThisModule() {
  static const ModuleHandle module(kv_module_resources, kv_module_resources_end);
  return module;
}

// Resources of a module file on disk, read without loading it.
class ModuleFile {
 public:
  // nullopt when the file cannot be read or is not a module of the system.
  static std::optional<ModuleFile> Open(const std::filesystem::path& path);
  // The same for a file's bytes.
  static std::optional<ModuleFile> FromBytes(std::vector<uint8_t> bytes);

  const ResourceTable& Resources() const { return *table_; }

 private:
  std::shared_ptr<std::vector<uint8_t>> bytes_;
  std::shared_ptr<ResourceTable> table_;
};

}  // namespace kv::platform
