#include "dialogs/forms/voice_properties_form.h"

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

#include "dialogs/forms/calling_mode.h"
#include "dialogs/forms/form_controls.h"
#include "dialogs/forms/gradient_background.h"
#include "dialogs/forms/pitch_bands.h"
#include "dialogs/forms/qt_text.h"
#include "dialogs/forms/track_bar.h"
#include "dialogs/forms/voice_properties_tables.h"
#include "platform/registry.h"
#include "synth/settings_values.h"
#include "synth/synthesis_settings.h"

namespace kv::dialogs {

int VoiceIndex = 0;

namespace {

constexpr uint32_t kSayDelayMs = 800;
const char* const kPerUserKey = "SOFTWARE\\KORVEN\\TTS";

std::string VoiceKeyPath(const QString& voice) {
  return std::string(kEngineKey) + "\\" + FromQString(voice);
}

// Value labels read "100%" (the pitch "X") until their bar first moves.
const QString kUnmoved = QStringLiteral("100%");

}  // namespace

TFormViceProperties::TFormViceProperties(QWidget* owner)
    : QDialog(owner),
      TimerSay(kSayDelayMs, [this] { TimerSayTimer(); }),
      VoiceStorage(platform::HKEY_LOCAL_MACHINE, ""),
      FormStorage(platform::HKEY_CURRENT_USER, kPerUserKey) {
  SetUpFixedForm(*this, "FormViceProperties", 263, 261,
                 QStringLiteral(" KORVEN TTS -> Možnosti hlasu"));
  BuildHeader();
  BuildVoicePage();
  BuildEchoPage();
  BuildIntonationPage();
  BuildButtons();
  SetTabOrder();
  BindHandlers();
  BindStorages();
  ComboBoxVoice->setCurrentIndex(std::clamp(VoiceIndex, 0, ComboBoxVoice->count() - 1));
  ComboBoxVoiceChange();
}

TFormViceProperties::~TFormViceProperties() {
  if (isVisible()) SaveStorages();
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

void TFormViceProperties::BindStorages() {
  VoiceStorage.SetWritesVersion(true);
  VoiceStorage.AddTrackBar("Echo_delay", Echo_delay);
  VoiceStorage.AddTrackBar("Echo_tracsk", Echo_tracsk);
  VoiceStorage.AddTrackBar("Echo_Volume", Echo_Volume);
  VoiceStorage.AddTrackBar("Volume", Volume);
  VoiceStorage.AddTrackBar("Pith", Pith);
  VoiceStorage.AddTrackBar("Speed", Speed);
  VoiceStorage.AddCheckBox("Intonace", Intonace);
  VoiceStorage.AddCheckBox("Intonace_endhacent", Intonace_endhacent);

  storedTestText_ = FromQString(TestovaciText->text());
  FormStorage.AddProperty(
      "TestovaciText_Text", [this] { return StorableTestText(); },
      [this](const std::string& text) {
        storedTestText_ = text;
        TestovaciText->setText(ToQString(text));
      });
  FormStorage.AddProperty(
      "PageControl_ActivePage",
      [this] { return PageControl->currentWidget()->objectName().toStdString(); },
      [this](const std::string& name) {
        if (auto* page = PageControl->findChild<QWidget*>(QString::fromStdString(name)))
          if (PageControl->indexOf(page) >= 0) PageControl->setCurrentWidget(page);
      });
  FormStorage.AddCheckBox("Rikat", Rikat);
  FormStorage.AddPlacement("FormViceProperties", this);
}

void TFormViceProperties::ComboBoxVoiceChange() {
  StoreVoice();
  VoiceStorageActive = false;
  const std::string key = VoiceKeyPath(ComboBoxVoice->currentText());
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    reg.OpenKey(key, true);
    reg.CloseKey();
  } catch (const std::exception&) {
    // The load below then finds nothing and the controls keep their values.
  }
  const PitchBand band = kPitchBands[std::clamp(ComboBoxVoice->currentIndex(), 0, 2)];
  Pith->SetSelection(band.start, band.end);
  VoiceStorage.SetKey(key);
  VoiceStorageActive = true;
  VoiceStorage.Load();
  TimerSay.SetEnabled(false);
  TimerSay.SetEnabled(true);
}

void TFormViceProperties::ShowValue(QLabel* label, int value, bool percent) {
  TimerSay.SetEnabled(false);
  label->setText(QString::number(value) + (percent ? QStringLiteral("%") : QString()));
  TimerSay.SetEnabled(true);
}

void TFormViceProperties::VolumeChange() {
  ShowValue(LabelVolume, Volume->value(), true);
}
void TFormViceProperties::SpeedChange() {
  ShowValue(LabelSpeed, Speed->ShownValue(Speed->value()), true);
}
void TFormViceProperties::PithChange() {
  ShowValue(PithLabel, Pith->value(), false);
}
void TFormViceProperties::Echo_VolumeChange() {
  ShowValue(LabelEchoVolume, Echo_Volume->value(), true);
}
void TFormViceProperties::Echo_delayChange() {
  ShowValue(LabelEchoMS, Echo_delay->value(), false);
}
void TFormViceProperties::Echo_tracskChange() {
  ShowValue(LabelStop, Echo_tracsk->value(), false);
}

void TFormViceProperties::IntonaceClick() {
  if (!TimerSay.Enabled()) TimerSay.SetEnabled(true);
}
void TFormViceProperties::Intonace_endhacentClick() {
  IntonaceClick();
}

void TFormViceProperties::TimerSayTimer() {
  TimerSay.SetEnabled(false);
  StoreVoice();
  if (Rikat->isChecked()) ButtonRekniClick();
}

// The values on screen go to the voice's key together with the flag that makes the
// synthesizer reload them: values stored without the flag (or the flag without the values)
// would leave a synthesizer that already spoke on its old settings.
void TFormViceProperties::StoreVoice() {
  if (!VoiceStorageActive) return;
  VoiceStorage.Save();
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(VoiceStorage.Key(), true)) reg.WriteInteger("Values_Changed", 1);
  } catch (const std::exception&) {
    // Nothing to tell: the synthesizer keeps its values.
  }
}

void TFormViceProperties::ButtonRekniClick() {
  StoreVoice();
  const std::string text = FromQString(TestovaciText->text());
  if (OnSay) {
    OnSay("}" + std::to_string(ComboBoxVoice->currentIndex() + 1) + text);
  } else if (CallingMode) {
    CallingMode->Say(text);
  } else {
    ButtonRekni->setEnabled(false);
  }
}

void TFormViceProperties::Button2Click() {
  close();
}

std::string TFormViceProperties::StorableTestText() {
  if (FindUnstorable(TestovaciText->text()).empty())
    storedTestText_ = FromQString(TestovaciText->text());
  return storedTestText_;
}

void TFormViceProperties::reject() {
  const auto unstorable = FindUnstorable(TestovaciText->text());
  if (!unstorable.empty() && !closeRefused_) {
    closeRefused_ = true;
    TellUser("Testovací text nelze uložit. Tyto znaky nelze zapsat ve Windows-1250: " +
             DescribeUnstorable(unstorable) + ". Další zavření okna ho zahodí.");
    return;
  }
  if (!unstorable.empty()) {
    TestovaciText->setText(ToQString(storedTestText_));
    TellUser("Změna testovacího textu nebyla uložena.");
  }
  closeRefused_ = false;
  QDialog::reject();
}

void TFormViceProperties::SaveStorages() {
  // Stored now, so a change made just before closing is not left to a timer of a form
  // that is about to be destroyed (the engine) or is hidden (the installer).
  TimerSay.SetEnabled(false);
  StoreVoice();
  FormStorage.Save();
}

void TFormViceProperties::paintEvent(QPaintEvent*) {
  PaintGradientBackground(*this);
}

void TFormViceProperties::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  FormStorage.Load();
  // An opener that set a receiver since the button gave up gets it back.
  if (OnSay || CallingMode) ButtonRekni->setEnabled(true);
}

void TFormViceProperties::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) SaveStorages();
}

}  // namespace kv::dialogs
