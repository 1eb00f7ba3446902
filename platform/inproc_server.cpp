// In-process servers loaded directly from their library files, over each system's loader.
#include "platform/com.h"
#include "platform/library_loader.h"

namespace kv::com {

InprocServer::InprocServer(void* handle, std::filesystem::path path)
    : handle_(handle),
      path_(std::move(path)),
      getClassObject_(
          reinterpret_cast<DllGetClassObjectFn>(loader::Symbol(handle, "DllGetClassObject"))),
      canUnloadNow_(
          reinterpret_cast<DllCanUnloadNowFn>(loader::Symbol(handle, "DllCanUnloadNow"))) {}

InprocServer::~InprocServer() {
  // A library without DllCanUnloadNow cannot tell us that it is unused: keep it.
  if (canUnloadNow_ != nullptr && canUnloadNow_() == S_OK) loader::Close(handle_);
}

HRESULT InprocServer::FromFile(const std::filesystem::path& path,
                               std::shared_ptr<InprocServer>* server) {
  if (server == nullptr) return E_POINTER;
  server->reset();
  void* handle = nullptr;
  if (const HRESULT hr = loader::Open(path, &handle); Failed(hr)) return hr;
  std::shared_ptr<InprocServer> loaded(new InprocServer(handle, path));
  if (loaded->getClassObject_ == nullptr) {
    loader::Close(handle);
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
  return loader::Symbol(handle_, name);
}

}  // namespace kv::com
