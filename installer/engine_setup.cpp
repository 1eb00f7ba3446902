#include "installer/engine_setup.h"

#include <system_error>

#include "installer/engine_module.h"
#include "installer/installer_texts.h"
#include "installer/payload.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace kv::installer {
namespace fs = std::filesystem;

using platform::ERegistryException;
using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_LOCAL_MACHINE;
using platform::Registry;

namespace {

std::string InprocKey() {
  return std::string(names::kClassKey) + "\\InprocServer32";
}

}  // namespace

bool IsInstalledCopy(const fs::path& library) {
  std::error_code ec;
  return fs::weakly_canonical(library, ec) == fs::weakly_canonical(EnginePath(), ec);
}

fs::path EnginePath() {
  return platform::WindowsDir() / "Speech" / "kvs" / EngineLibraryFile();
}

fs::path EngineDictionaryPath() {
  return platform::ChangeFileExt(EnginePath(), ".dct");
}

bool RuntimePresent() {
  Registry reg(HKEY_LOCAL_MACHINE);
  return reg.KeyExists(names::kEngineListKey);
}

void InstallRuntime() {
  Registry reg(HKEY_LOCAL_MACHINE);
  reg.OpenKey(names::kEngineListKey, true);
}

namespace {

// The class and the engine list entry, written by the installer itself on every system.
bool RegisterEngineLibrary(const fs::path& enginePath) {
  try {
    Registry reg(HKEY_CLASSES_ROOT);
    if (reg.OpenKey(names::kClassKey, true))
      reg.WriteString("", std::string(names::kEngineName) + " (Czech)");
    if (reg.OpenKey(std::string(names::kClassKey) + "\\InprocServer32", true)) {
      reg.WriteString("", cp1250::FromUtf8Lenient(
                              reinterpret_cast<const char*>(enginePath.u8string().c_str())));
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

}  // namespace

bool InstallEngine(const fs::path& enginePath) {
  if (!WriteEngineModules(enginePath)) return false;
  ExtractResourceToFile("KVTTSEINN", "RCDATA", platform::ChangeFileExt(enginePath, ".inn"));
  ExtractResourceToFile("KVTTSEDCT", "RCDATA", platform::ChangeFileExt(enginePath, ".dct"));
  return RegisterEngineLibrary(enginePath);
}

bool EngineClassRegistered() {
  Registry reg(HKEY_CLASSES_ROOT);
  return reg.KeyExists(names::kClassKey);
}

std::string RegisteredLibraryPath() {
  Registry reg(HKEY_CLASSES_ROOT);
  if (!reg.OpenKey(InprocKey(), false)) return {};
  return reg.ReadString("");
}

bool EngineListed() {
  Registry reg(HKEY_LOCAL_MACHINE);
  return reg.OpenKey(names::kEngineListKey, false) && reg.ValueExists(names::kEngineName);
}

bool UninstallEngine() {
  try {
    Registry reg(HKEY_CLASSES_ROOT);
    if (!reg.OpenKey(InprocKey(), false)) return false;
    const fs::path library = cp1250::ToUtf8(reg.ReadString(""));
    reg.CloseKey();
    if (library.empty() || !RemoveEngineLibrary(library)) return false;
    reg.DeleteKey(names::kClassKey);
    reg.SetRoot(HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(names::kEngineListKey, false)) reg.DeleteValue(names::kEngineName);
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

}  // namespace kv::installer
