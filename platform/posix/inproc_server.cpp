// Loading in-process servers here: dlopen of the registered ELF library.
#include <dlfcn.h>

#include "platform/com.h"
#include "platform/elf_image.h"

namespace kv::com {

InprocServer::InprocServer(void* handle, std::filesystem::path path)
    : handle_(handle),
      path_(std::move(path)),
      getClassObject_(reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"))),
      canUnloadNow_(reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"))) {}

InprocServer::~InprocServer() {
  // A library without DllCanUnloadNow cannot tell us that it is unused: keep it.
  if (canUnloadNow_ != nullptr && canUnloadNow_() == S_OK) ::dlclose(handle_);
}

HRESULT InprocServer::FromFile(const std::filesystem::path& path,
                               std::shared_ptr<InprocServer>* server) {
  if (server == nullptr) return E_POINTER;
  server->reset();
  // The loader would map a damaged file as it is and fault on its missing pages.
  if (platform::CheckElfFile(path).verdict == platform::ElfCheck::Verdict::Unfit)
    return CO_E_ERRORINDLL;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return CO_E_DLLNOTFOUND;
  std::shared_ptr<InprocServer> loaded(new InprocServer(handle, path));
  if (loaded->getClassObject_ == nullptr) {
    ::dlclose(handle);
    loaded->canUnloadNow_ = nullptr;  // already closed
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
  return ::dlsym(handle_, name);
}

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
