// Test-only forms for a dialogs module while the real forms are not in the tree: each has the
// speak and close buttons of the real forms, and the speak button says the test text through
// the CallingMode the engine passed.
#include <QDialog>
#include <QPushButton>

#include "dialogs/forms/calling_mode.h"
#include "dialogs/forms/forms.h"

namespace kv::dialogs {
namespace {

std::unique_ptr<QDialog> SpeakingForm(CallingMode* mode, QWidget* owner) {
  auto form = std::make_unique<QDialog>(owner);
  auto* say = new QPushButton(QString::fromUtf8("&Řekni <F5>"), form.get());
  auto* close = new QPushButton(QString::fromUtf8("&Zavřít"), form.get());
  close->move(0, 40);
  QObject::connect(say, &QPushButton::clicked, [mode] {
    if (mode != nullptr) mode->Say("Testovac\xED text 1, 2, 3.");  // Windows-1250
  });
  QObject::connect(close, &QPushButton::clicked, form.get(), &QDialog::accept);
  return form;
}

}  // namespace

std::unique_ptr<QDialog> CreateAboutForm(QWidget* owner) {
  return SpeakingForm(nullptr, owner);
}
std::unique_ptr<QDialog> CreateVoicePropertiesForm(CallingMode* mode, QWidget* owner) {
  return SpeakingForm(mode, owner);
}
std::unique_ptr<QDialog> CreateDictionaryEditorForm(CallingMode* mode, QWidget* owner) {
  return SpeakingForm(mode, owner);
}

}  // namespace kv::dialogs
