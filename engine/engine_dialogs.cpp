#include "engine/engine_dialogs.h"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>

#include "engine/central.h"
#include "platform/beside_module.h"
#include "platform/module.h"
#include "platform/paths.h"

namespace kv::engine {

void TKVCallingMode::Say(const std::string& text) {
  owner_->TextData(text, nullptr, com::IID{}, CharForm::A);
}

std::string TKVCallingMode::DictionaryFile() const {
  return platform::FileBesideModule(platform::ThisModule().FileName(), ".dct").string();
}

namespace {

// The module's entry point, loaded once and kept (the module is never unmapped: its toolkit
// cannot be unloaded from a process once started). A failed load is tried again next time.
com::HRESULT LoadEntry(dialogs::ShowDialogFn* entry) {
  static std::mutex loading;
  static dialogs::ShowDialogFn loaded = nullptr;
  std::lock_guard lock(loading);
  if (loaded == nullptr) {
    const std::filesystem::path path =
        platform::ThisModule().FileName().parent_path() / dialogs::kDialogsModuleFile;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return com::CO_E_DLLNOTFOUND;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) return com::CO_E_ERRORINDLL;
    loaded = reinterpret_cast<dialogs::ShowDialogFn>(::dlsym(module, dialogs::kShowDialogSymbol));
    if (loaded == nullptr) return com::CO_E_ERRORINDLL;
  }
  *entry = loaded;
  return com::S_OK;
}

}  // namespace

com::HRESULT ShowDialogForm(dialogs::DialogForm form, dialogs::CallingMode* mode) {
  dialogs::ShowDialogFn show = nullptr;
  if (const com::HRESULT hr = LoadEntry(&show); com::Failed(hr)) return hr;
  switch (static_cast<dialogs::DialogResult>(show(static_cast<int>(form), mode))) {
    case dialogs::DialogResult::Closed:
      return com::S_OK;
    case dialogs::DialogResult::WrongThread:
      return RPC_E_WRONG_THREAD;
    default:
      return com::E_FAIL;
  }
}

}  // namespace kv::engine
