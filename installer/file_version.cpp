#include "installer/file_version.h"

#include <optional>
#include <string_view>

#include "platform/module.h"

namespace kv::installer {

namespace {

std::string FileVersionOf(const std::optional<platform::ModuleFile>& module) {
  if (!module) return {};
  const auto record = module->Resources().Find("VERSION", "040504E2");
  if (!record) return {};
  std::string_view text(reinterpret_cast<const char*>(record->data()), record->size());
  constexpr std::string_view kKey = "FileVersion=";
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with(kKey)) return std::string(line.substr(kKey.size()));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return {};
}

}  // namespace

std::string ReadFileVersion(const std::filesystem::path& path) {
  return FileVersionOf(platform::ModuleFile::Open(path));
}

std::string FileVersionOfImage(std::vector<uint8_t> image) {
  return FileVersionOf(platform::ModuleFile::FromBytes(std::move(image)));
}

}  // namespace kv::installer
