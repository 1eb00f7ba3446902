// The engine instance (one voice bound to one audio object) as the mode enumerator's Select
// sees it.
#pragma once

#include <cstdint>

#include "platform/com.h"

namespace kv::engine {

// Creates a new engine instance for a mode, attaches the audio object to it and answers with
// the instance's central interface: centralIid is IID_ITTSCentralW or IID_ITTSCentralA.
//
// Select has already checked everything: mode is 1..3, audio offers IAudio and IAudioDest,
// central is non-null and set to null. Returns the result of the instance's QueryInterface
// for centralIid (S_OK), or an error with *central left null and nothing attached.
com::HRESULT CreateEngineInstance(int32_t mode, const com::IID& centralIid, com::IUnknown* audio,
                                  void** central);

}  // namespace kv::engine
