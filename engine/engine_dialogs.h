// The engine's side of the settings dialogs: what a form opened by an engine instance speaks
// through, and the dialogs module that holds the forms. The module (with its toolkit) is loaded
// on the first dialog call only and then kept, so that a host that only speaks never maps it.
#pragma once

#include <string>

#include "dialogs/dialogs_module.h"
#include "dialogs/logic/calling_mode.h"
#include "platform/com.h"

namespace kv::engine {

class TKVCmode;

// A form's view of the instance that opened it.
class TKVCallingMode final : public dialogs::CallingMode {
 public:
  explicit TKVCallingMode(TKVCmode* owner) : owner_(owner) {}
  // The text goes through the instance's synthesizer to the audio destination the host bound
  // to it, as a text of the host would: the synthesizer of an engine instance assembles unit
  // by unit for its destination and has no sound of its own.
  void Say(const std::string& text) override;
  // kv_ttse.dct beside the engine library.
  std::string DictionaryFile() const override;

 private:
  TKVCmode* owner_;
};

inline constexpr com::HRESULT RPC_E_WRONG_THREAD = com::MakeResult(0x8001010E);

// Shows a form modally on the calling thread, owned by the host's parent window where the
// forms are Windows forms: through the dialogs module beside the library, or the forms linked
// in. S_OK once it closed; CO_E_DLLNOTFOUND or CO_E_ERRORINDLL when the module is missing or
// broken, RPC_E_WRONG_THREAD when the host's toolkit runs on another thread, E_FAIL when
// there is no display or the form failed.
com::HRESULT ShowDialogForm(dialogs::DialogForm form, dialogs::CallingMode* mode, void* parent);

}  // namespace kv::engine
