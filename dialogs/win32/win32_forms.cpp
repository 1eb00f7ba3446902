// The entry of the Windows forms (win32_forms.h): builds the form asked for and runs it.
#include "dialogs/win32/win32_forms.h"

#include <memory>

#include "dialogs/win32/about_window.h"
#include "dialogs/win32/dictionary_editor_window.h"
#include "dialogs/win32/voice_properties_window.h"
#include "platform/win32/windows_api.h"

namespace kv::dialogs::win32 {

namespace {

std::unique_ptr<FormWindow> BuildForm(const FormRequest& request) {
  switch (request.form) {
    case DialogForm::About:
      return std::make_unique<TFormAbout>();
    case DialogForm::DictionaryEditor: {
      auto form = std::make_unique<TFormSlovnik>();
      form->OnSay = request.onSay;
      form->CallingMode = request.mode;
      return form;
    }
    case DialogForm::VoiceProperties: {
      auto form = std::make_unique<TFormViceProperties>();
      form->OnSay = request.onSay;
      form->CallingMode = request.mode;
      return form;
    }
  }
  return nullptr;
}

// KVTTS_DIALOG_SCREENSHOT, when set: the picture file that the form writes instead of
// waiting for the user.
std::wstring PictureFile() {
  std::wstring name = W(kScreenshotVariable);
  const DWORD size = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring file(size, L'\0');
  file.resize(::GetEnvironmentVariableW(name.c_str(), file.data(), size));
  return file;
}

}  // namespace

DialogResult ShowForm(const FormRequest& request) {
  try {
    std::unique_ptr<FormWindow> form = BuildForm(request);
    // The desktop owns nothing, and a handle that is no window cannot own: a form given
    // either stands on its own.
    HWND owner = request.parent == ::GetDesktopWindow() || !::IsWindow(request.parent)
                     ? nullptr
                     : request.parent;
    if (!form || !form->Create(owner)) return DialogResult::Failed;
    if (const std::wstring picture = PictureFile(); !picture.empty())
      return form->WritePicture(picture) ? DialogResult::Closed : DialogResult::Failed;
    form->RunModal(owner);
    return DialogResult::Closed;
  } catch (...) {
    return DialogResult::Failed;  // nothing escapes into the host
  }
}

}  // namespace kv::dialogs::win32
