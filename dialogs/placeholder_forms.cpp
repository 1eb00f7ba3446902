// Stand-in forms with the captions and client sizes of the real ones, for building the module
// while the forms themselves are not in the tree: each shows a close button only.
#include <QDialog>
#include <QPushButton>

#include "dialogs/forms/forms.h"

namespace kv::dialogs {
namespace {

std::unique_ptr<QDialog> PlainForm(const char* caption, int width, int height,
                                   const char* closeCaption, QWidget* owner) {
  auto form = std::make_unique<QDialog>(owner);
  form->setWindowTitle(QString::fromUtf8(caption));
  form->setFixedSize(width, height);
  auto* close = new QPushButton(QString::fromUtf8(closeCaption), form.get());
  close->setGeometry(width - 85, height - 33, 75, 25);
  QObject::connect(close, &QPushButton::clicked, form.get(), &QDialog::accept);
  return form;
}

}  // namespace

std::unique_ptr<QDialog> CreateAboutForm(QWidget* owner) {
  return PlainForm("About", 196, 107, "Ok", owner);
}

std::unique_ptr<QDialog> CreateVoicePropertiesForm(CallingMode*, QWidget* owner) {
  return PlainForm(" KORVEN TTS -> Možnosti hlasu", 263, 261, "&Zavřít", owner);
}

std::unique_ptr<QDialog> CreateDictionaryEditorForm(CallingMode*, QWidget* owner) {
  return PlainForm(" KORVEN TTS -> Slovník (výraz=vyslov)", 263, 261, "&Zavřít", owner);
}

}  // namespace kv::dialogs
