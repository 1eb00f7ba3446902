#include "platform/files.h"

#include <fcntl.h>
#include <io.h>

#include <cstdlib>

#include "platform/win32/windows_api.h"

namespace kv::platform {

int OpenForReading(const std::string& path) {
  return ::_wopen(win32::Wide(path).c_str(), _O_RDONLY | _O_BINARY);
}

std::filesystem::path PathFromUtf8(const std::string& name) {
  return win32::Wide(name);  // a narrow path here would be read in the ANSI code page
}

void SetEnv(const std::string& name, const std::string& value) {
  ::_wputenv_s(win32::Wide(name).c_str(), win32::Wide(value).c_str());
}

}  // namespace kv::platform
