// The engine library here: kv_ttse.so with the dialogs module beside it, registered by the
// installer's own registry writes.
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

using platform::ERegistryException;
using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_LOCAL_MACHINE;
using platform::Registry;

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

bool RegisterEngineLibrary(const fs::path& enginePath) {
  try {
    Registry reg(HKEY_CLASSES_ROOT);
    if (reg.OpenKey(names::kClassKey, true))
      reg.WriteString("", std::string(names::kEngineName) + " (Czech)");
    if (reg.OpenKey(std::string(names::kClassKey) + "\\InprocServer32", true)) {
      reg.WriteString("", cp1250::FromUtf8Lenient(enginePath.string()));
      reg.WriteString("ThreadingModel", "Apartment");
    }
    reg.SetRoot(HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(names::kEngineListKey, false))
      reg.WriteString(names::kEngineName, names::kClsid);
  } catch (const ERegistryException&) {
    return false;
  }
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
