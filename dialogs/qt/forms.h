// The forms that the engine's dialog entries open. Each call builds the form, ready to show;
// the caller shows it (modally in the engine) and destroys it. mode may be null (installer).
#pragma once

#include <memory>

class QDialog;
class QWidget;

namespace kv::dialogs {

class CallingMode;

std::unique_ptr<QDialog> CreateAboutForm(QWidget* owner = nullptr);
std::unique_ptr<QDialog> CreateVoicePropertiesForm(CallingMode* mode, QWidget* owner = nullptr);
std::unique_ptr<QDialog> CreateDictionaryEditorForm(CallingMode* mode, QWidget* owner = nullptr);

}  // namespace kv::dialogs
