// The engine instance does not exist yet: Select reports that it cannot create one. This file
// gives way to the engine instance's own implementation of CreateEngineInstance.
#include "engine/engine_instance.h"

namespace kv::engine {

com::HRESULT CreateEngineInstance(int32_t, const com::IID&, com::IUnknown*, void**) {
  return com::E_NOTIMPL;
}

}  // namespace kv::engine
