// Version records of the system's modules. A module carries its version as the resource
// VERSION/040504E2 (Czech, code page 1250): lines "Name=value", among them "FileVersion".
// The record is read from the file without loading it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::installer {

// The "FileVersion" of the module file; empty when the file cannot be read, is no module of
// the system, or has no such record.
std::string ReadFileVersion(const std::filesystem::path& path);
// The same for the bytes of a module file.
std::string FileVersionOfImage(std::vector<uint8_t> image);

}  // namespace kv::installer
