#include "dialogs/qt/forms.h"

#include "dialogs/qt/about_form.h"
#include "dialogs/qt/dictionary_editor_form.h"
#include "dialogs/qt/voice_properties_form.h"

namespace kv::dialogs {

std::unique_ptr<QDialog> CreateAboutForm(QWidget* owner) {
  return std::make_unique<TFormAbout>(owner);
}

std::unique_ptr<QDialog> CreateVoicePropertiesForm(CallingMode* mode, QWidget* owner) {
  auto form = std::make_unique<TFormViceProperties>(owner);
  if (mode) form->CallingMode = mode;
  return form;
}

std::unique_ptr<QDialog> CreateDictionaryEditorForm(CallingMode* mode, QWidget* owner) {
  auto form = std::make_unique<TFormSlovnik>(owner);
  if (mode) form->CallingMode = mode;
  return form;
}

}  // namespace kv::dialogs
