#include "engine/class_factory.h"

#include "engine/enum_cmode.h"

namespace kv::engine {

HRESULT TKVClassFactory::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return com::E_POINTER;
  *object = nullptr;
  if (!(iid == com::IID_IUnknown || iid == com::IID_IClassFactory)) return com::E_NOINTERFACE;
  AddRef();
  *object = static_cast<com::IClassFactory*>(this);
  return com::S_OK;
}

HRESULT TKVClassFactory::CreateInstance(com::IUnknown* outer, const IID& iid, void** object) {
  if (object == nullptr) return com::E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return com::CLASS_E_NOAGGREGATION;
  TKVEnumCMode* modes = MakeKeptObject<TKVEnumCMode>();
  return modes->QueryInterface(iid, object);
}

HRESULT TKVClassFactory::LockServer(com::BOOL lock) {
  if (lock != 0) {
    ObjectCount().Increment();
    return com::S_OK;
  }
  return ObjectCount().DecrementIfPositive() ? com::S_OK : com::E_FAIL;
}

}  // namespace kv::engine
