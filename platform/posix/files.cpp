#include "platform/files.h"

#include <fcntl.h>

#include <cstdlib>

namespace kv::platform {

int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

std::filesystem::path PathFromUtf8(const std::string& name) {
  return name;
}

void SetEnv(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace kv::platform
