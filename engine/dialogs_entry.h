// Where the engine's dialog calls find the forms: the dialogs module beside the library
// (dialogs_entry_posix.cpp) or the Windows forms linked into it (dialogs_entry_win32.cpp).
#pragma once

#include "dialogs/dialogs_module.h"
#include "platform/com.h"

namespace kv::engine {

// Shows the form modally on the calling thread, owned by parent, with *result set to what
// the forms report: S_OK. CO_E_DLLNOTFOUND when there are no forms to reach, CO_E_ERRORINDLL
// when their module cannot be loaded or lacks its entry.
com::HRESULT ShowThroughDialogsEntry(dialogs::DialogForm form, dialogs::CallingMode* mode,
                                     void* parent, dialogs::DialogResult* result);

}  // namespace kv::engine
