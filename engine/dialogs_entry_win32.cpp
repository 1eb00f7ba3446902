// On Windows the forms are linked into the engine library: Windows forms over the system's
// own controls, owned by the host's window.
// The system's names first: the engine's headers declare names that Windows defines as macros.
// clang-format off
#include "platform/win32/windows_api.h"
// clang-format on

#include "dialogs/win32/win32_forms.h"
#include "engine/dialogs_entry.h"

namespace kv::engine {

com::HRESULT ShowThroughDialogsEntry(dialogs::DialogForm form, dialogs::CallingMode* mode,
                                     void* parent, dialogs::DialogResult* result) {
  dialogs::win32::FormRequest request;
  request.form = form;
  request.parent = static_cast<HWND>(parent);
  request.mode = mode;
  *result = dialogs::win32::ShowForm(request);
  return com::S_OK;
}

}  // namespace kv::engine
