#include "engine/engine_dialogs.h"

#include "engine/central.h"
#include "engine/dialogs_entry.h"
#include "platform/beside_module.h"
#include "platform/module.h"

namespace kv::engine {

void TKVCallingMode::Say(const std::string& text) {
  owner_->TextData(text, nullptr, com::IID{}, CharForm::A);
}

std::string TKVCallingMode::DictionaryFile() const {
  return platform::FileBesideModule(platform::ThisModule().FileName(), ".dct").string();
}

com::HRESULT ShowDialogForm(dialogs::DialogForm form, dialogs::CallingMode* mode, void* parent) {
  dialogs::DialogResult result = dialogs::DialogResult::Failed;
  if (const com::HRESULT hr = ShowThroughDialogsEntry(form, mode, parent, &result); com::Failed(hr))
    return hr;
  switch (result) {
    case dialogs::DialogResult::Closed:
      return com::S_OK;
    case dialogs::DialogResult::WrongThread:
      return RPC_E_WRONG_THREAD;
    default:
      return com::E_FAIL;
  }
}

}  // namespace kv::engine
