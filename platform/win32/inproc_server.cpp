// In-process servers over ole32: objects of registered classes come from CoCreateInstance,
// which loads the server itself; a library file can also be loaded directly (LoadLibrary).
// clang-format off
#include "platform/win32/windows_api.h"  // before the system's headers (see there)
#include <objbase.h>
// clang-format on

#include "platform/com.h"

namespace kv::com {
namespace {

void* Export(void* module, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

// COM on this thread, in a single-threaded apartment as the engine is registered for; a thread
// that entered another apartment already keeps it.
void EnterApartment() {
  thread_local bool entered = false;
  if (entered) return;
  entered = true;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

}  // namespace

InprocServer::InprocServer(void* handle, std::filesystem::path path)
    : handle_(handle),
      path_(std::move(path)),
      getClassObject_(reinterpret_cast<DllGetClassObjectFn>(Export(handle, "DllGetClassObject"))),
      canUnloadNow_(reinterpret_cast<DllCanUnloadNowFn>(Export(handle, "DllCanUnloadNow"))) {}

InprocServer::~InprocServer() {
  // A library without DllCanUnloadNow cannot tell us that it is unused: keep it.
  if (canUnloadNow_ != nullptr && canUnloadNow_() == S_OK)
    ::FreeLibrary(static_cast<HMODULE>(handle_));
}

HRESULT InprocServer::FromFile(const std::filesystem::path& path,
                               std::shared_ptr<InprocServer>* server) {
  if (server == nullptr) return E_POINTER;
  server->reset();
  HMODULE module = ::LoadLibraryW(path.c_str());
  if (module == nullptr) return CO_E_DLLNOTFOUND;
  std::shared_ptr<InprocServer> loaded(new InprocServer(module, path));
  if (loaded->getClassObject_ == nullptr) {
    ::FreeLibrary(module);
    loaded->canUnloadNow_ = nullptr;  // already freed
    return CO_E_ERRORINDLL;
  }
  *server = std::move(loaded);
  return S_OK;
}

HRESULT InprocServer::ForClass(const CLSID& clsid, std::shared_ptr<InprocServer>* server) {
  if (server == nullptr) return E_POINTER;
  server->reset();
  const auto path = RegisteredServerPath(clsid);
  if (!path) return REGDB_E_CLASSNOTREG;
  return FromFile(*path, server);
}

HRESULT InprocServer::GetClassObject(const CLSID& clsid, const IID& iid, void** object) const {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  return getClassObject_(clsid, iid, object);
}

void* InprocServer::Symbol(const char* name) const {
  return Export(handle_, name);
}

HRESULT CreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** object,
                       std::shared_ptr<InprocServer>* server) {
  if (object == nullptr || server == nullptr) return E_POINTER;
  *object = nullptr;
  server->reset();  // COM holds the library and unloads it when it answers that it may
  EnterApartment();
  static_assert(sizeof(GUID) == sizeof(::GUID));
  return ::CoCreateInstance(reinterpret_cast<const ::GUID&>(clsid),
                            reinterpret_cast<::IUnknown*>(outer), CLSCTX_INPROC_SERVER,
                            reinterpret_cast<const ::GUID&>(iid), object);
}

}  // namespace kv::com
