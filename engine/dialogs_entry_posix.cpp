#include <dlfcn.h>

#include <filesystem>
#include <mutex>

#include "engine/dialogs_entry.h"
#include "platform/elf_image.h"
#include "platform/module.h"

namespace kv::engine {

// The module's entry point, loaded once and kept (the module is never unmapped: its toolkit
// cannot be unloaded from a process once started). A failed load is tried again next time.
namespace {

com::HRESULT LoadDialogsEntry(dialogs::ShowDialogFn* entry) {
  static std::mutex loading;
  static dialogs::ShowDialogFn loaded = nullptr;
  std::lock_guard lock(loading);
  if (loaded == nullptr) {
    const std::filesystem::path path =
        platform::ThisModule().FileName().parent_path() / dialogs::kDialogsModuleFile;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return com::CO_E_DLLNOTFOUND;
    // As for a registered library: the loader would fault on the pages of a cut-off file.
    if (platform::CheckElfFile(path).verdict == platform::ElfCheck::Verdict::Unfit)
      return com::CO_E_ERRORINDLL;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) return com::CO_E_ERRORINDLL;
    loaded = reinterpret_cast<dialogs::ShowDialogFn>(::dlsym(module, dialogs::kShowDialogSymbol));
    if (loaded == nullptr) return com::CO_E_ERRORINDLL;
  }
  *entry = loaded;
  return com::S_OK;
}

}  // namespace

// The module's forms are top-level windows of the toolkit: the host's window is not theirs.
com::HRESULT ShowThroughDialogsEntry(dialogs::DialogForm form, dialogs::CallingMode* mode, void*,
                                     dialogs::DialogResult* result) {
  dialogs::ShowDialogFn show = nullptr;
  if (const com::HRESULT hr = LoadDialogsEntry(&show); com::Failed(hr)) return hr;
  *result = static_cast<dialogs::DialogResult>(show(static_cast<int>(form), mode));
  return com::S_OK;
}

}  // namespace kv::engine
