// The dialogs module's entry point (see dialogs_module.h).
#include "dialogs/dialogs_module.h"

#include <QDialog>
#include <cstdlib>
#include <memory>

#include "dialogs/gui_application.h"
#include "dialogs/qt/forms.h"
#include "dialogs/run_form.h"

namespace kv::dialogs {
namespace {

DialogResult ShowDialog(DialogForm which, CallingMode* mode) {
  switch (EnsureApplication()) {
    case GuiStatus::Ready:
      break;
    case GuiStatus::NoDisplay:
      return DialogResult::NoDisplay;
    case GuiStatus::WrongThread:
      return DialogResult::WrongThread;
    case GuiStatus::NoWidgets:
      return DialogResult::Failed;
  }
  std::unique_ptr<QDialog> form;
  switch (which) {
    case DialogForm::About:
      form = CreateAboutForm();
      break;
    case DialogForm::DictionaryEditor:
      form = CreateDictionaryEditorForm(mode);
      break;
    case DialogForm::VoiceProperties:
      form = CreateVoicePropertiesForm(mode);
      break;
  }
  if (!form) return DialogResult::Failed;
  const char* picture = std::getenv(kScreenshotVariable);
  return RunForm(*form, picture == nullptr ? "" : picture) ? DialogResult::Closed
                                                           : DialogResult::Failed;
}

}  // namespace
}  // namespace kv::dialogs

extern "C" __attribute__((visibility("default"))) int kv_show_dialog_v1(
    int form, kv::dialogs::CallingMode* mode) {
  using kv::dialogs::DialogForm;
  using kv::dialogs::DialogResult;
  if (form < int(DialogForm::About) || form > int(DialogForm::VoiceProperties))
    return int(DialogResult::Failed);
  try {
    return int(kv::dialogs::ShowDialog(DialogForm(form), mode));
  } catch (...) {
    return int(DialogResult::Failed);  // nothing escapes into the engine
  }
}
