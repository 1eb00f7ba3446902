#include "dialogs/qt/voice_properties_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <algorithm>

#include "dialogs/logic/form_texts.h"
#include "dialogs/logic/voice_properties_tables.h"
#include "dialogs/qt/form_controls.h"
#include "dialogs/qt/gradient_background.h"
#include "dialogs/qt/qt_text.h"
#include "dialogs/qt/settings_storage.h"
#include "dialogs/qt/track_bar.h"
#include "synth/settings_values.h"

namespace kv::dialogs {

namespace {

// Value labels read "100%" (the pitch "X") until their bar first moves.
const QString kUnmoved = QStringLiteral("100%");

}  // namespace

TFormViceProperties::TFormViceProperties(QWidget* owner) : QDialog(owner) {
  SetUpFixedForm(*this, kVoicePropertiesFrame.name, kVoicePropertiesFrame.clientWidth,
                 kVoicePropertiesFrame.clientHeight,
                 QString::fromUtf8(kVoicePropertiesFrame.caption));
  BuildHeader();
  BuildVoicePage();
  BuildEchoPage();
  BuildIntonationPage();
  BuildButtons();
  SetTabOrder();
  BindHandlers();
  AddPlacement(logic_.FormStorage(), kVoicePropertiesFrame.name, this);
  ComboBoxVoice->setCurrentIndex(std::clamp(VoiceIndex, 0, ComboBoxVoice->count() - 1));
  logic_.Start();
}

TFormViceProperties::~TFormViceProperties() {
  if (isVisible()) logic_.Hidden();
}

void TFormViceProperties::BuildHeader() {
  Label23 = MakeLabel(this, "Label23", QStringLiteral("Nastavení hlasu :"), {8, 8, 100, 16});
  ComboBoxVoice = new QComboBox(this);
  ComboBoxVoice->setObjectName("ComboBoxVoice");
  ComboBoxVoice->setGeometry(110, 4, 145, 22);
  for (std::string_view voice : kVoiceNames) ComboBoxVoice->addItem(ToQString(voice));
  ComboBoxVoice->setAccessibleName(QStringLiteral("Nastavení hlasu"));
  Label23->setBuddy(ComboBoxVoice);

  Label22 = MakeLabel(this, "Label22", QStringLiteral("Testovací text :"), {8, 34, 100, 16});
  TestovaciText = new QLineEdit(QStringLiteral("Testovací text 1, 2, 3."), this);
  TestovaciText->setObjectName("TestovaciText");
  TestovaciText->setGeometry(110, 30, 145, 22);
  TestovaciText->setAccessibleName(QStringLiteral("Testovací text"));
  Label22->setBuddy(TestovaciText);

  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  PageControl->setGeometry(8, 58, 247, 162);
  PageControl->setAccessibleName(QStringLiteral("Možnosti hlasu"));
}

// A caption label, a bar and its value label, with the caption as the bar's buddy.
TTrackBar* TFormViceProperties::AddTrackBar(QWidget* page, const TrackBarRow& row,
                                            Qt::Orientation orientation, QRect where,
                                            QLabel** valueLabel) {
  TTrackBar* bar = MakeTrackBar(page, {row.name, orientation, where, row.min, row.max, row.position,
                                       row.tickFrequency, QString::fromUtf8(row.accessibleName)});
  if (row.selEnd > row.selStart) bar->SetSelection(row.selStart, row.selEnd);
  const QString caption = QString::fromUtf8(row.caption);
  const std::string captionName = std::string("Label") + row.name;
  QLabel* label;
  QRect valueWhere;
  if (orientation == Qt::Horizontal) {
    label = MakeLabel(page, captionName.c_str(), caption, {6, where.y() + 8, 54, 16});
    valueWhere = {where.right() + 2, where.y() + 8, 34, 16};
  } else {
    label = MakeLabel(page, captionName.c_str(), caption, {where.x() - 14, 2, 58, 16});
    label->setAlignment(Qt::AlignHCenter);
    valueWhere = {where.x() - 14, where.bottom() + 2, 58, 16};
  }
  label->setBuddy(bar);
  *valueLabel = MakeLabel(page, row.valueLabel, kUnmoved, valueWhere);
  bar->SetValueLabel(*valueLabel);
  if (orientation == Qt::Vertical) (*valueLabel)->setAlignment(Qt::AlignHCenter);
  return bar;
}

QWidget* TFormViceProperties::AddPage(const char* name, const QString& caption) {
  auto* page = new QWidget;
  page->setObjectName(QString::fromLatin1(name));
  PageControl->addTab(page, caption);
  return page;
}

void TFormViceProperties::BuildVoicePage() {
  TabSheetVoice = AddPage("TabSheetVoice", QStringLiteral("Hlas"));
  TTrackBar** bars[] = {&Volume, &Speed, &Pith};
  QLabel** values[] = {&LabelVolume, &LabelSpeed, &PithLabel};
  for (int i = 0; i < 3; ++i)
    *bars[i] = AddTrackBar(TabSheetVoice, kVoicePageBars[i], Qt::Horizontal,
                           {60, 4 + 40 * i, 144, 34}, values[i]);
  PithLabel->setText(QStringLiteral("X"));
  Speed->SetShownValue(-1, 200);
}

void TFormViceProperties::BuildEchoPage() {
  TabSheetEcho = AddPage("TabSheetEcho", QStringLiteral("Echo"));
  MakeLabel(TabSheetEcho, "LabelMax", QStringLiteral("Max."), {6, 22, 40, 16});
  MakeLabel(TabSheetEcho, "LabelEcho", QStringLiteral("Echo"), {6, 56, 40, 16});
  MakeLabel(TabSheetEcho, "LabelMin", QStringLiteral("Min."), {6, 92, 40, 16});
  TTrackBar** bars[] = {&Echo_Volume, &Echo_tracsk, &Echo_delay};
  QLabel** values[] = {&LabelEchoVolume, &LabelStop, &LabelEchoMS};
  for (int i = 0; i < 3; ++i)
    *bars[i] = AddTrackBar(TabSheetEcho, kEchoPageBars[i], Qt::Vertical, {62 + 60 * i, 20, 30, 90},
                           values[i]);
}

void TFormViceProperties::BuildIntonationPage() {
  TabSheetIntonace = AddPage("TabSheetIntonace", QStringLiteral("Intonace"));
  Intonace = new QCheckBox(QStringLiteral("Intonace"), TabSheetIntonace);
  Intonace->setObjectName("Intonace");
  Intonace->setGeometry(8, 6, 220, 18);
  Intonace_endhacent = new QCheckBox(QStringLiteral("Rozšířená intonace"), TabSheetIntonace);
  Intonace_endhacent->setObjectName("Intonace_endhacent");
  Intonace_endhacent->setGeometry(8, 28, 220, 18);
  Pause = AddTrackBar(TabSheetIntonace, kIntonationPageBars[0], Qt::Horizontal, {60, 58, 144, 34},
                      &Label17);
  Robotize = AddTrackBar(TabSheetIntonace, kIntonationPageBars[1], Qt::Horizontal,
                         {60, 94, 144, 34}, &Label18);
  // They change nothing, by design: a screen reader says so, as their unmoving labels
  // show the eye.
  const QString inert = QStringLiteral("Jen pro ukázku: posun nic nemění a neukládá se.");
  Pause->setAccessibleDescription(inert);
  Robotize->setAccessibleDescription(inert);
  PageControl->setCurrentWidget(TabSheetIntonace);
}

void TFormViceProperties::BuildButtons() {
  ButtonRekni = new QPushButton(QStringLiteral("&Řekni <F5>"), this);
  ButtonRekni->setObjectName("ButtonRekni");
  ButtonRekni->setGeometry(8, 228, 96, 25);
  ButtonRekni->setAutoDefault(false);
  ButtonRekni->setAccessibleName(QStringLiteral("Řekni"));
  ButtonRekni->setAccessibleDescription(QStringLiteral("Přečte testovací text, klávesa F5"));
  Rikat = new QCheckBox(this);
  Rikat->setObjectName("Rikat");
  Rikat->setGeometry(110, 232, 18, 18);
  const QString hint = QStringLiteral("Přeříkat testovací text automaticky po změně parametru");
  Rikat->setToolTip(hint);
  Rikat->setAccessibleName(hint);
  Button2 = new QPushButton(QStringLiteral("&Zavřít"), this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(180, 228, 75, 25);
  Button2->setAutoDefault(false);
  Button2->setAccessibleName(QStringLiteral("Zavřít"));
}

void TFormViceProperties::SetTabOrder() {
  QWidget* order[] = {ComboBoxVoice,
                      TestovaciText,
                      PageControl,
                      Volume,
                      Speed,
                      Pith,
                      Echo_Volume,
                      Echo_tracsk,
                      Echo_delay,
                      Intonace,
                      Intonace_endhacent,
                      Pause,
                      Robotize,
                      ButtonRekni,
                      Rikat,
                      Button2};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TFormViceProperties::BindHandlers() {
  connect(ComboBoxVoice, &QComboBox::activated, this, [this] { ComboBoxVoiceChange(); });
  connect(Volume, &QSlider::valueChanged, this, [this] { VolumeChange(); });
  connect(Speed, &QSlider::valueChanged, this, [this] { SpeedChange(); });
  connect(Pith, &QSlider::valueChanged, this, [this] { PithChange(); });
  connect(Echo_Volume, &QSlider::valueChanged, this, [this] { Echo_VolumeChange(); });
  connect(Echo_delay, &QSlider::valueChanged, this, [this] { Echo_delayChange(); });
  connect(Echo_tracsk, &QSlider::valueChanged, this, [this] { Echo_tracskChange(); });
  connect(Intonace, &QCheckBox::clicked, this, [this] { IntonaceClick(); });
  connect(Intonace_endhacent, &QCheckBox::clicked, this, [this] { Intonace_endhacentClick(); });
  connect(ButtonRekni, &QPushButton::clicked, this, [this] { ButtonRekniClick(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(f5, &QShortcut::activated, this, [this] {
    if (ButtonRekni->isEnabled()) ButtonRekniClick();
  });
}

void TFormViceProperties::ComboBoxVoiceChange() {
  logic_.ComboBoxVoiceChange();
}
void TFormViceProperties::VolumeChange() {
  logic_.BarChanged(VoiceBar::Volume);
}
void TFormViceProperties::SpeedChange() {
  logic_.BarChanged(VoiceBar::Speed);
}
void TFormViceProperties::PithChange() {
  logic_.BarChanged(VoiceBar::Pith);
}
void TFormViceProperties::Echo_VolumeChange() {
  logic_.BarChanged(VoiceBar::Echo_Volume);
}
void TFormViceProperties::Echo_delayChange() {
  logic_.BarChanged(VoiceBar::Echo_delay);
}
void TFormViceProperties::Echo_tracskChange() {
  logic_.BarChanged(VoiceBar::Echo_tracsk);
}
void TFormViceProperties::IntonaceClick() {
  logic_.IntonaceClick();
}
void TFormViceProperties::Intonace_endhacentClick() {
  logic_.IntonaceClick();
}
void TFormViceProperties::TimerSayTimer() {
  logic_.TimerSayTimer();
}
void TFormViceProperties::ButtonRekniClick() {
  logic_.ButtonRekniClick();
}
void TFormViceProperties::Button2Click() {
  close();
}

void TFormViceProperties::reject() {
  if (logic_.CloseRequested()) QDialog::reject();
}

TTrackBar* TFormViceProperties::Bar(VoiceBar bar) const {
  switch (bar) {
    case VoiceBar::Volume:
      return Volume;
    case VoiceBar::Speed:
      return Speed;
    case VoiceBar::Pith:
      return Pith;
    case VoiceBar::Echo_Volume:
      return Echo_Volume;
    case VoiceBar::Echo_delay:
      return Echo_delay;
    case VoiceBar::Echo_tracsk:
      break;
  }
  return Echo_tracsk;
}

int TFormViceProperties::SelectedVoice() const {
  return ComboBoxVoice->currentIndex();
}
int TFormViceProperties::Position(VoiceBar bar) const {
  return Bar(bar)->value();
}
void TFormViceProperties::SetPosition(VoiceBar bar, int position) {
  Bar(bar)->setValue(position);
}
bool TFormViceProperties::Checked(VoiceCheck box) const {
  return (box == VoiceCheck::Intonace             ? Intonace
          : box == VoiceCheck::Intonace_endhacent ? Intonace_endhacent
                                                  : Rikat)
      ->isChecked();
}
void TFormViceProperties::SetChecked(VoiceCheck box, bool checked) {
  (box == VoiceCheck::Intonace             ? Intonace
   : box == VoiceCheck::Intonace_endhacent ? Intonace_endhacent
                                           : Rikat)
      ->setChecked(checked);
}
void TFormViceProperties::SetPitchBand(int start, int end) {
  Pith->SetSelection(start, end);
}
void TFormViceProperties::ShowValue(VoiceBar bar, const std::string& text) {
  Bar(bar)->ValueLabel()->setText(QString::fromStdString(text));
}
std::u16string TFormViceProperties::TestText() const {
  return ToUtf16(TestovaciText->text());
}
void TFormViceProperties::SetTestText(const std::u16string& text) {
  TestovaciText->setText(QString::fromStdU16String(text));
}
std::string TFormViceProperties::ActivePage() const {
  return PageControl->currentWidget()->objectName().toStdString();
}
void TFormViceProperties::SetActivePage(const std::string& name) {
  if (auto* page = PageControl->findChild<QWidget*>(QString::fromStdString(name)))
    if (PageControl->indexOf(page) >= 0) PageControl->setCurrentWidget(page);
}
void TFormViceProperties::EnableSpeakButton(bool enabled) {
  ButtonRekni->setEnabled(enabled);
}
void TFormViceProperties::TellUser(const std::string& utf8) {
  dialogs::TellUser(utf8);
}

void TFormViceProperties::paintEvent(QPaintEvent*) {
  PaintGradientBackground(*this);
}

void TFormViceProperties::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) logic_.Shown();
}

void TFormViceProperties::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) logic_.Hidden();
}

}  // namespace kv::dialogs
