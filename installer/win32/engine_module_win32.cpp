// The engine library on Windows: kv_ttse.dll. A library that a process has loaded cannot be
// deleted: that is how its use shows.
#include <system_error>

#include "installer/engine_module.h"
#include "installer/engine_setup.h"
#include "installer/payload.h"
#include "platform/win32/windows_api.h"

namespace kv::installer {
namespace fs = std::filesystem;

const char* EngineLibraryFile() {
  return "kv_ttse.dll";
}

bool WriteEngineModules(const fs::path& enginePath) {
  return ExtractResourceToFile("KVTTSE", "RCDATA", enginePath);
}

bool RemoveEngineLibrary(const fs::path& library) {
  std::error_code ec;
  if (!IsInstalledCopy(library) || !fs::exists(library, ec)) return true;
  return ::DeleteFileW(library.c_str()) != 0;
}

}  // namespace kv::installer
