#include "engine/registration.h"

#include <stdexcept>
#include <string>

#include "engine/module_state.h"
#include "platform/cp1250.h"
#include "platform/module.h"
#include "platform/registry.h"

namespace kv::engine {

using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_LOCAL_MACHINE;
using platform::Registry;

namespace {

const std::string& ClassKey() {
  static const std::string key = "\\CLSID\\" + com::GuidToString(CLSID_KVEngine);
  return key;
}

void OpenOrFail(Registry& reg, std::string_view key) {
  if (!reg.OpenKey(key, true)) throw std::runtime_error("cannot create registry key");
}

}  // namespace

HRESULT RegisterServer() {
  try {
    // The registry holds Windows-1250 text: a library path that the code page cannot carry
    // could not be loaded back, so it fails the registration.
    const auto fileName = cp1250::FromUtf8(platform::ThisModule().FileName().string());
    if (!fileName || fileName->empty()) throw std::runtime_error("library file name");
    const std::string clsid = com::GuidToString(CLSID_KVEngine);

    Registry reg(HKEY_CLASSES_ROOT);
    OpenOrFail(reg, ClassKey());
    reg.WriteString("", std::string(kEngineName) + " (Czech)");
    OpenOrFail(reg, ClassKey() + "\\InprocServer32");
    reg.WriteString("", *fileName);
    reg.WriteString("ThreadingModel", "Apartment");
    reg.CloseKey();

    reg.SetRoot(HKEY_LOCAL_MACHINE);
    OpenOrFail(reg, kEngineListKey);
    reg.WriteString(kEngineName, clsid);
    reg.CloseKey();
    return com::S_OK;
  } catch (...) {
    UnregisterServer();
    return com::SELFREG_E_CLASS;
  }
}

HRESULT UnregisterServer() {
  try {
    Registry reg(HKEY_CLASSES_ROOT);
    if (!reg.OpenKey(ClassKey() + "\\InprocServer32", false)) return com::S_OK;
    reg.CloseKey();
    reg.DeleteKey(ClassKey());
    reg.SetRoot(HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(kEngineListKey, false)) {
      reg.DeleteValue(kEngineName);
      reg.CloseKey();
    }
  } catch (...) {
    // Unregistration removes what it can and never fails.
  }
  return com::S_OK;
}

}  // namespace kv::engine
