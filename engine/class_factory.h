// TKVClassFactory: the factory of the engine class, one per DllGetClassObject call.
#pragma once

#include "engine/module_state.h"

namespace kv::engine {

class TKVClassFactory final : public com::IClassFactory {
 public:
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override;
  ULONG KV_STDCALL AddRef() override { return ModuleAddRef(); }
  ULONG KV_STDCALL Release() override { return ModuleRelease(); }
  // Creates a new mode enumerator (TKVEnumCMode) and answers with its interface iid.
  HRESULT KV_STDCALL CreateInstance(com::IUnknown* outer, const IID& iid, void** object) override;
  // A lock counts on ObjectCount like a reference.
  HRESULT KV_STDCALL LockServer(com::BOOL lock) override;
};

}  // namespace kv::engine
