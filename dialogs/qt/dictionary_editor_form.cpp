#include "dialogs/qt/dictionary_editor_form.h"

#include <dlfcn.h>

#include <QCheckBox>
#include <QCollator>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextCursor>

#include "dialogs/logic/collation.h"
#include "dialogs/logic/form_texts.h"
#include "dialogs/qt/form_controls.h"
#include "dialogs/qt/gradient_background.h"
#include "dialogs/qt/qt_text.h"
#include "dialogs/qt/settings_storage.h"

namespace kv::dialogs {

namespace {

// The program or library this code is linked into.
std::filesystem::path ThisModulePath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<const void*>(&ThisModulePath), &info) != 0 && info.dli_fname &&
      info.dli_fname[0] == '/')
    return info.dli_fname;
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec);
}

// Case-insensitive Czech order ("ch" after "h"), from ICU's data: it holds whatever locales
// the system has installed. The lines stay the toolkit's text, so a character the code page
// lacks is sorted as it is and not turned into '?'.
class CzechCollation final : public Collation {
 public:
  CzechCollation() : collator_(QLocale(QLocale::Czech, QLocale::CzechRepublic)) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
  }
  int Compare(std::u16string_view a, std::u16string_view b) const override {
    return collator_.compare(QStringView(a.data(), qsizetype(a.size())),
                             QStringView(b.data(), qsizetype(b.size())));
  }

 private:
  QCollator collator_;
};

}  // namespace

TFormSlovnik::TFormSlovnik(QWidget* owner) : QDialog(owner), logic_(*this, ThisModulePath()) {
  SetUpFixedForm(*this, kDictionaryEditorFrame.name, kDictionaryEditorFrame.clientWidth,
                 kDictionaryEditorFrame.clientHeight,
                 QString::fromUtf8(kDictionaryEditorFrame.caption));
  BuildControls();
  AddPlacement(logic_.FormStorage(), kDictionaryEditorFrame.name, this);
}

TFormSlovnik::~TFormSlovnik() {
  if (isVisible()) FormClose();
}

void TFormSlovnik::BuildControls() {
  Slovnik = new QPlainTextEdit(this);
  Slovnik->setObjectName("Slovnik");
  Slovnik->setGeometry(8, 8, 247, 212);
  Slovnik->setLineWrapMode(QPlainTextEdit::NoWrap);
  Slovnik->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Slovnik->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Slovnik->setTabChangesFocus(true);
  Slovnik->setAccessibleName(QStringLiteral("Slovník (výraz=vyslov)"));
  Slovnik->installEventFilter(this);
  connect(Slovnik, &QPlainTextEdit::textChanged, this, [this] { SlovnikChange(); });

  ButtonSort = new QPushButton(QStringLiteral("sort"), this);
  ButtonSort->setObjectName("ButtonSort");
  ButtonSort->setGeometry(8 + 247 - 18 - 36, 9, 36, 16);
  ButtonSort->setAutoDefault(false);
  ButtonSort->setAccessibleName(QStringLiteral("Seřadit řádky"));
  connect(ButtonSort, &QPushButton::clicked, this, [this] { ButtonSortClick(); });

  ButtonRekni = new QPushButton(QStringLiteral("&Řekni <F5>"), this);
  ButtonRekni->setObjectName("ButtonRekni");
  ButtonRekni->setGeometry(8, 228, 96, 25);
  ButtonRekni->setAutoDefault(false);
  ButtonRekni->setAccessibleName(QStringLiteral("Řekni"));
  ButtonRekni->setAccessibleDescription(QStringLiteral("Přečte výslovnost řádku, klávesa F5"));
  connect(ButtonRekni, &QPushButton::clicked, this, [this] { ButtonRekniClick(); });

  Rikat = new QCheckBox(this);
  Rikat->setObjectName("Rikat");
  Rikat->setGeometry(110, 232, 18, 18);
  Rikat->setAccessibleName(QStringLiteral("Říkat"));
  Rikat->setAccessibleDescription(
      QStringLiteral("Volba se jen ukládá, na chování editoru nemá vliv."));

  Button2 = new QPushButton(QStringLiteral("&Zavřít"), this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(180, 228, 75, 25);
  Button2->setAutoDefault(false);
  Button2->setAccessibleName(QStringLiteral("Zavřít"));
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

  setTabOrder(Slovnik, ButtonSort);
  setTabOrder(ButtonSort, ButtonRekni);
  setTabOrder(ButtonRekni, Rikat);
  setTabOrder(Rikat, Button2);
}

void TFormSlovnik::FormShow() {
  logic_.FormShow();
}
void TFormSlovnik::Button2Click() {
  close();
}
void TFormSlovnik::reject() {
  if (logic_.CloseRequested()) QDialog::reject();
}
void TFormSlovnik::FormClose() {
  logic_.FormClose();
}
void TFormSlovnik::FormDeactivate() {
  logic_.FormDeactivate();
}
void TFormSlovnik::SlovnikChange() {
  logic_.SlovnikChange();
}
void TFormSlovnik::ButtonRekniClick() {
  logic_.ButtonRekniClick();
}
void TFormSlovnik::ButtonSortClick() {
  logic_.ButtonSortClick(CzechCollation());
}
void TFormSlovnik::Timer1Timer() {
  logic_.Timer1Timer();
}

std::u16string TFormSlovnik::Text() const {
  return ToUtf16(Slovnik->toPlainText());
}
size_t TFormSlovnik::CaretPosition() const {
  return size_t(Slovnik->textCursor().position());
}
void TFormSlovnik::LoadText(const std::u16string& text) {
  Slovnik->setPlainText(QString::fromStdU16String(text));
}
// Through the cursor, so the replacement can be undone and counts as a change to save.
void TFormSlovnik::ReplaceText(const std::u16string& text) {
  QTextCursor cursor(Slovnik->document());
  cursor.select(QTextCursor::Document);
  cursor.insertText(QString::fromStdU16String(text));
}
bool TFormSlovnik::Modified() const {
  return Slovnik->document()->isModified();
}
void TFormSlovnik::SetModified(bool modified) {
  Slovnik->document()->setModified(modified);
}
bool TFormSlovnik::RikatChecked() const {
  return Rikat->isChecked();
}
void TFormSlovnik::SetRikatChecked(bool checked) {
  Rikat->setChecked(checked);
}
void TFormSlovnik::EnableSpeakButton(bool enabled) {
  ButtonRekni->setEnabled(enabled);
}
void TFormSlovnik::TellUser(const std::string& utf8) {
  dialogs::TellUser(utf8);
}
void TFormSlovnik::TellUserSoon(const std::string& utf8) {
  QMetaObject::invokeMethod(
      this, [utf8] { dialogs::TellUser(utf8); }, Qt::QueuedConnection);
}

void TFormSlovnik::paintEvent(QPaintEvent*) {
  PaintGradientBackground(*this);
}

void TFormSlovnik::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TFormSlovnik::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) FormClose();
}

bool TFormSlovnik::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) FormDeactivate();
  return QDialog::event(event);
}

bool TFormSlovnik::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Slovnik && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F5) {
    logic_.ButtonRekniClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kv::dialogs
