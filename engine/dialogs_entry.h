// The entry point of the dialogs module beside the engine library.
#pragma once

#include "dialogs/dialogs_module.h"
#include "platform/com.h"

namespace kv::engine {

// S_OK with *entry set; CO_E_DLLNOTFOUND when there is no dialogs module, CO_E_ERRORINDLL when
// it cannot be loaded or lacks its entry.
com::HRESULT LoadDialogsEntry(dialogs::ShowDialogFn* entry);

}  // namespace kv::engine
