// Small services of the file system and the process environment that the two systems offer
// differently. Paths and values are UTF-8.
#pragma once

#include <filesystem>
#include <string>

namespace kv::platform {

// A descriptor of the file opened for binary reading, or -1 with errno set.
int OpenForReading(const std::string& path);

// The path a UTF-8 file name (from the command line) stands for.
std::filesystem::path PathFromUtf8(const std::string& name);

// Sets a variable of the process environment (for the modules it loads).
void SetEnv(const std::string& name, const std::string& value);

}  // namespace kv::platform
