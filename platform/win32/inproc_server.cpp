// In-process servers over ole32: objects of registered classes come from CoCreateInstance,
// which loads the server itself; a library file can also be loaded directly (LoadLibrary).
// clang-format off
#include "platform/win32/windows_api.h"  // before the system's headers (see there)
#include <objbase.h>
// clang-format on

#include "platform/com.h"
#include "platform/library_loader.h"

namespace kv::com {
namespace {

// COM on this thread, in a single-threaded apartment as the engine is registered for; a thread
// that entered another apartment already keeps it.
void EnterApartment() {
  thread_local bool entered = false;
  if (entered) return;
  entered = true;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

}  // namespace

namespace loader {

HRESULT Open(const std::filesystem::path& path, void** handle) {
  *handle = ::LoadLibraryW(path.c_str());
  return *handle == nullptr ? CO_E_DLLNOTFOUND : S_OK;
}

void* Symbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle), name));
}

void Close(void* handle) {
  ::FreeLibrary(static_cast<HMODULE>(handle));
}

}  // namespace loader

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
