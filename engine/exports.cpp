// The library's five exports and its start-up. The linker version script (kv_ttse.map), or on
// Windows the module definition file (kv_ttse.def), exports these names and nothing else.
#include "engine/class_factory.h"
#include "engine/module_state.h"
#include "engine/registration.h"
#include "synth/synthesis_settings.h"

namespace {

// The instance handle DllMain was given on process attach. The library finds its own file and
// resources through platform::ThisModule(), so the handle is kept only for its callers' sake.
void* g_moduleInstance = nullptr;

constexpr kv::com::DWORD kProcessAttach = 1;

}  // namespace

namespace kv::engine {

// Library start, once per process when the library is loaded (called from library_start.cpp).
// A Windows library would first switch off its thread attach and detach notifications; a shared
// library here receives none, so there is nothing to switch off.
void LibraryStart() {
  try {
    WriteSettingsDefaults();
  } catch (...) {
    // A registry failure at start is reported to no one.
  }
}

}  // namespace kv::engine

KV_SERVER_EXPORT kv::com::HRESULT KV_STDCALL DllGetClassObject(const kv::com::CLSID& clsid,
                                                               const kv::com::IID& iid,
                                                               void** object) {
  using namespace kv;
  if (object != nullptr) *object = nullptr;
  if (!(clsid == engine::CLSID_KVEngine)) return com::E_FAIL;
  if (!(iid == com::IID_IUnknown || iid == com::IID_IClassFactory)) return com::E_NOINTERFACE;
  if (object == nullptr) return com::E_POINTER;
  // A fresh factory on every call.
  auto* factory = engine::MakeKeptObject<engine::TKVClassFactory>();
  return factory->QueryInterface(iid, object);
}

KV_SERVER_EXPORT kv::com::HRESULT KV_STDCALL DllCanUnloadNow() {
  return kv::engine::ObjectCount().Value() > 0 ? kv::com::S_FALSE : kv::com::S_OK;
}

KV_SERVER_EXPORT kv::com::HRESULT KV_STDCALL DllRegisterServer() {
  return kv::engine::RegisterServer();
}

KV_SERVER_EXPORT kv::com::HRESULT KV_STDCALL DllUnregisterServer() {
  return kv::engine::UnregisterServer();
}

// An ordinary export: the library is started by the loader (library_start.cpp), not by this. On
// Windows it is also what the runtime's library entry calls once it has run the initializers.
KV_SERVER_EXPORT kv::com::BOOL KV_STDCALL DllMain(void* instance, kv::com::DWORD reason,
                                                  void* /*reserved*/) {
  if (reason == kProcessAttach) g_moduleInstance = instance;
  return 1;
}
