// The engine library here: kv_ttse.so with the dialogs module beside it.
#include <system_error>

#include "dialogs/dialogs_module.h"
#include "installer/engine_module.h"
#include "installer/engine_setup.h"
#include "installer/installer_texts.h"
#include "installer/library_use.h"
#include "installer/payload.h"
#include "platform/registry.h"

namespace kv::installer {
namespace fs = std::filesystem;

const char* EngineLibraryFile() {
  return "kv_ttse.so";
}

bool WriteEngineModules(const fs::path& enginePath) {
  if (!ExtractResourceToFile("KVTTSE", "RCDATA", enginePath)) return false;
  // The engine opens its settings dialogs from the module beside itself.
  ExtractResourceToFile("KVTTSDLG", "RCDATA",
                        enginePath.parent_path() / dialogs::kDialogsModuleFile);
  return true;
}

bool RemoveEngineLibrary(const fs::path& library) {
  if (LibraryInUse(library)) return false;
  if (!IsInstalledCopy(library)) return true;
  std::error_code ec;
  fs::remove(library, ec);  // a library already gone counts as removed
  if (ec) return false;
  fs::remove(library.parent_path() / dialogs::kDialogsModuleFile, ec);
  return true;
}

}  // namespace kv::installer
