// The engine library on Windows: kv_ttse.dll, registered and unregistered through its own
// exports. A library that a process has loaded cannot be deleted: that is how its use shows.
#include <system_error>

#include "installer/engine_module.h"
#include "installer/engine_setup.h"
#include "installer/payload.h"
#include "platform/win32/windows_api.h"

namespace kv::installer {
namespace fs = std::filesystem;

namespace {

// Loads the library, runs one of its registration exports and lets it go again.
bool CallRegistrationExport(const fs::path& library, const char* name) {
  HMODULE module = ::LoadLibraryW(library.c_str());
  if (module == nullptr) return false;
  using Export = HRESULT(STDAPICALLTYPE*)();
  auto entry = reinterpret_cast<Export>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  const bool done = entry != nullptr && SUCCEEDED(entry());
  ::FreeLibrary(module);
  return done;
}

}  // namespace

const char* EngineLibraryFile() {
  return "kv_ttse.dll";
}

bool WriteEngineModules(const fs::path& enginePath) {
  return ExtractResourceToFile("KVTTSE", "RCDATA", enginePath);
}

bool RegisterEngineLibrary(const fs::path& enginePath) {
  return CallRegistrationExport(enginePath, "DllRegisterServer");
}

bool RemoveEngineLibrary(const fs::path& library) {
  std::error_code ec;
  if (!IsInstalledCopy(library) || !fs::exists(library, ec)) return true;
  if (!CallRegistrationExport(library, "DllUnregisterServer")) return false;
  if (::DeleteFileW(library.c_str())) return true;
  // In use: the registration goes back as it was.
  CallRegistrationExport(library, "DllRegisterServer");
  return false;
}

}  // namespace kv::installer
