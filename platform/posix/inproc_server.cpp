// Loading in-process servers here: dlopen of the registered ELF library.
#include <dlfcn.h>

#include "platform/com.h"
#include "platform/elf_image.h"
#include "platform/library_loader.h"

namespace kv::com {

namespace loader {

HRESULT Open(const std::filesystem::path& path, void** handle) {
  // The loader would map a damaged file as it is and fault on its missing pages.
  if (platform::CheckElfFile(path).verdict == platform::ElfCheck::Verdict::Unfit)
    return CO_E_ERRORINDLL;
  *handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  return *handle == nullptr ? CO_E_DLLNOTFOUND : S_OK;
}

void* Symbol(void* handle, const char* name) {
  return ::dlsym(handle, name);
}

void Close(void* handle) {
  ::dlclose(handle);
}

}  // namespace loader

HRESULT CreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** object,
                       std::shared_ptr<InprocServer>* server) {
  if (object == nullptr || server == nullptr) return E_POINTER;
  *object = nullptr;
  std::shared_ptr<InprocServer> loaded;
  HRESULT hr = InprocServer::ForClass(clsid, &loaded);
  if (Failed(hr)) return hr;
  void* factoryPtr = nullptr;
  hr = loaded->GetClassObject(clsid, IID_IClassFactory, &factoryPtr);
  if (Failed(hr)) return hr;
  if (factoryPtr == nullptr) return E_UNEXPECTED;
  auto* factory = static_cast<IClassFactory*>(factoryPtr);
  hr = factory->CreateInstance(outer, iid, object);
  factory->Release();
  if (Succeeded(hr)) *server = std::move(loaded);
  return hr;
}

}  // namespace kv::com
