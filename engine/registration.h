// Self-registration of the engine: the COM class and the SAPI engine list entry.
#pragma once

#include "platform/com.h"

namespace kv::engine {

// Writes the four entries; on any failure removes them again and returns SELFREG_E_CLASS.
com::HRESULT RegisterServer();
// Removes the entries when the class is registered (its InprocServer32 key exists); missing
// keys and values are no error. Always S_OK.
com::HRESULT UnregisterServer();

}  // namespace kv::engine
