#include "dialogs/forms/dictionary_editor_form.h"

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
#include <algorithm>

#include "dialogs/forms/calling_mode.h"
#include "dialogs/forms/dictionary_text.h"
#include "dialogs/forms/form_controls.h"
#include "dialogs/forms/gradient_background.h"
#include "dialogs/forms/qt_text.h"
#include "platform/beside_module.h"
#include "platform/cp1250.h"
#include "platform/paths.h"

namespace kv::dialogs {

std::filesystem::path DictionaryFileName;

namespace {

constexpr uint32_t kArmDelayMs = 100;
const char* const kPerUserKey = "SOFTWARE\\KORVEN\\TTS\\Dictionary";

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
void SortCzech(QStringList& lines) {
  QCollator collator{QLocale(QLocale::Czech, QLocale::CzechRepublic)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::stable_sort(lines.begin(), lines.end(),
                   [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
}

// Why a write failed, for the user.
std::string WriteFailure(std::error_code error) {
  if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
      error == std::errc::read_only_file_system)
    return " Soubor není zapisovatelný.";
  if (error == std::errc::no_space_on_device) return " Na disku není místo.";
  return "";
}

}  // namespace

TFormSlovnik::TFormSlovnik(QWidget* owner)
    : QDialog(owner),
      FormStorage(platform::HKEY_CURRENT_USER, kPerUserKey),
      Timer1(kArmDelayMs, [this] { Timer1Timer(); }) {
  SetUpFixedForm(*this, "FormSlovnik", 263, 261,
                 QStringLiteral(" KORVEN TTS -> Slovník (výraz=vyslov)"));
  BuildControls();
  FormStorage.AddCheckBox("Rikat", Rikat);
  FormStorage.AddPlacement("FormSlovnik", this);
  Timer1.SetEnabled(true);
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

std::filesystem::path TFormSlovnik::ChooseFile() const {
  if (!DictionaryFileName.empty()) return DictionaryFileName;
  if (CallingMode)
    if (std::string engineFile = CallingMode->DictionaryFile(); !engineFile.empty())
      return engineFile;
  return platform::FileBesideModule(ThisModulePath(), ".dct");
}

void TFormSlovnik::FormShow() {
  FileName = ChooseFile();
  LoadFile();
  FormStorage.Load();
  if (OnSay || CallingMode) ButtonRekni->setEnabled(true);
}

void TFormSlovnik::LoadFile() {
  std::optional<std::string> bytes = ReadFileBytes(FileName);
  const std::string text =
      bytes ? cp1250::LowerCase(JoinEditorLines(SplitDictionaryLines(*bytes))) : std::string();
  Slovnik->setPlainText(ToQString(text));
  Slovnik->document()->setModified(false);
  if (!bytes) {
    // Told once the editor is up, so the message appears over it.
    const std::string message = "Slovník " + FileName.string() +
                                " nelze přečíst. Editor začíná prázdný a uloží se do "
                                "stejného souboru.";
    QMetaObject::invokeMethod(
        this, [message] { TellUser(message); }, Qt::QueuedConnection);
  }
}

bool TFormSlovnik::SaveIfModified(const char* whenUnsaved) {
  if (saving_ || !Slovnik->document()->isModified()) return true;
  saving_ = true;
  const QString text = Slovnik->toPlainText();
  std::string failure;
  bool saved = false;
  // Written as '?', such a character would be lost while the editor still shows it.
  if (const auto unstorable = FindUnstorable(text); !unstorable.empty()) {
    failure = " Tyto znaky nelze zapsat ve Windows-1250: " + DescribeUnstorable(unstorable) + ".";
  } else if (!FileName.empty()) {
    std::error_code error;
    saved = WriteFileAtomically(FileName, DictionaryFileBytes(SplitEditorText(FromQString(text))),
                                &error);
    if (!saved) failure = WriteFailure(error);
  }
  if (saved)
    Slovnik->document()->setModified(false);
  else
    TellUser("Slovník " + FileName.string() + " nelze uložit." + failure + whenUnsaved);
  saving_ = false;
  return saved;
}

void TFormSlovnik::Button2Click() {
  close();
}

void TFormSlovnik::reject() {
  // Closing must not silently lose an edit that could not be written: the first attempt
  // keeps the editor open (the text can still be copied), the second closes it.
  const char* consequence =
      closeRefused_ ? " Změny zůstaly neuložené." : " Další zavření editoru změny zahodí.";
  if (!SaveIfModified(consequence) && !closeRefused_) {
    closeRefused_ = true;
    return;
  }
  closeRefused_ = false;
  Slovnik->document()->setModified(false);  // the user was told: nothing more to save
  QDialog::reject();
}

void TFormSlovnik::FormClose() {
  SaveIfModified();
  FormStorage.Save();
  OnSay = nullptr;
  CallingMode = nullptr;
}

void TFormSlovnik::FormDeactivate() {
  SaveIfModified();
}

void TFormSlovnik::SlovnikChange() {
  SpeakCaretLine();
}

void TFormSlovnik::ButtonRekniClick() {
  SpeakCaretLine();
}

void TFormSlovnik::SpeakCaretLine() {
  if (!SpeakArmed) return;
  const QString text = Slovnik->toPlainText();
  // The caret in Windows-1250 characters (a character outside the code page is one '?').
  const size_t caret = FromQString(text.left(Slovnik->textCursor().position())).size();
  const std::string spoken = CaretLineSpokenText(FromQString(text), caret);
  if (OnSay)
    OnSay(spoken);
  else if (CallingMode)
    CallingMode->Say(spoken);
  else
    ButtonRekni->setEnabled(false);
}

void TFormSlovnik::ButtonSortClick() {
  QStringList lines = Slovnik->toPlainText().split(u'\n');
  if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();  // a final line end
  SortCzech(lines);
  // Through the cursor, so the sort can be undone and counts as a change to save.
  QTextCursor cursor(Slovnik->document());
  cursor.select(QTextCursor::Document);
  cursor.insertText(lines.join(u'\n'));
}

void TFormSlovnik::Timer1Timer() {
  SpeakArmed = true;
  Timer1.SetEnabled(false);
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
    SpeakCaretLine();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kv::dialogs
