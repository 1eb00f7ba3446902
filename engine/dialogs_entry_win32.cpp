// Windows has no dialogs module yet: the calls get what a host gets whose engine library has
// none beside it.
#include "engine/dialogs_entry.h"

namespace kv::engine {

com::HRESULT LoadDialogsEntry(dialogs::ShowDialogFn*) {
  return com::CO_E_DLLNOTFOUND;
}

}  // namespace kv::engine
