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

void TFormViceProperties::BuildVoicePage() {
  TabSheetVoice = new QWidget;
  TabSheetVoice->setObjectName("TabSheetVoice");
  PageControl->addTab(TabSheetVoice, QStringLiteral("Hlas"));
  struct Row {
    const char* labelName;
    QString caption;
    TrackBarSetup bar;
    const char* valueName;
    TTrackBar** field;
    QLabel** valueLabel;
  };
  const Row rows[] = {
      {"Label1",
       QStringLiteral("Hlasitost"),
       {"Volume", Qt::Horizontal, {60, 4, 144, 34}, 0, 100, 50, 5, QStringLiteral("Hlasitost")},
       "LabelVolume",
       &Volume,
       &LabelVolume},
      {"Label2",
       QStringLiteral("Rychlost"),
       {"Speed", Qt::Horizontal, {60, 44, 144, 34}, 50, 150, 100, 5, QStringLiteral("Rychlost")},
       "LabelSpeed",
       &Speed,
       &LabelSpeed},
      {"Label3",
       QStringLiteral("Výška"),
       {"Pith", Qt::Horizontal, {60, 84, 144, 34}, -30, 30, -20, 1, QStringLiteral("Výška")},
       "PithLabel",
       &Pith,
       &PithLabel},
  };
  for (const Row& row : rows) {
    const int y = row.bar.where.y();
    QLabel* label = MakeLabel(TabSheetVoice, row.labelName, row.caption, {6, y + 8, 54, 16});
    *row.field = MakeTrackBar(TabSheetVoice, row.bar);
    label->setBuddy(*row.field);
    *row.valueLabel = MakeLabel(TabSheetVoice, row.valueName, kUnmoved, {206, y + 8, 34, 16});
  }
  Volume->SetSelection(10, 90);
  Speed->SetSelection(70, 130);
  PithLabel->setText(QStringLiteral("X"));
}

void TFormViceProperties::BuildEchoPage() {
  TabSheetEcho = new QWidget;
  TabSheetEcho->setObjectName("TabSheetEcho");
  PageControl->addTab(TabSheetEcho, QStringLiteral("Echo"));
  MakeLabel(TabSheetEcho, "Label10", QStringLiteral("Max."), {6, 22, 40, 16});
  MakeLabel(TabSheetEcho, "Label11", QStringLiteral("Echo"), {6, 56, 40, 16});
  MakeLabel(TabSheetEcho, "Label12", QStringLiteral("Min."), {6, 92, 40, 16});
  struct Column {
    const char* labelName;
    QString caption;
    TrackBarSetup bar;
    const char* valueName;
    TTrackBar** field;
    QLabel** valueLabel;
  };
  const Column columns[] = {
      {"Label13",
       QStringLiteral("Hlasitost"),
       {"Echo_Volume",
        Qt::Vertical,
        {62, 20, 30, 90},
        0,
        100,
        20,
        5,
        QStringLiteral("Echo, hlasitost")},
       "LabelEchoVolume",
       &Echo_Volume,
       &LabelEchoVolume},
      {"Label14",
       QStringLiteral("Počet stop"),
       {"Echo_tracsk",
        Qt::Vertical,
        {122, 20, 30, 90},
        0,
        10,
        2,
        1,
        QStringLiteral("Echo, počet stop")},
       "LabelStop",
       &Echo_tracsk,
       &LabelStop},
      {"Label15",
       QStringLiteral("Prodleva"),
       {"Echo_delay",
        Qt::Vertical,
        {182, 20, 30, 90},
        0,
        100,
        20,
        5,
        QStringLiteral("Echo, prodleva")},
       "LabelEchoMS",
       &Echo_delay,
       &LabelEchoMS},
  };
  for (const Column& column : columns) {
    const int x = column.bar.where.x() - 14;
    QLabel* label = MakeLabel(TabSheetEcho, column.labelName, column.caption, {x, 2, 58, 16});
    label->setAlignment(Qt::AlignHCenter);
    *column.field = MakeTrackBar(TabSheetEcho, column.bar);
    label->setBuddy(*column.field);
    *column.valueLabel = MakeLabel(TabSheetEcho, column.valueName, kUnmoved, {x, 112, 58, 16});
    (*column.valueLabel)->setAlignment(Qt::AlignHCenter);
  }
}

void TFormViceProperties::BuildIntonationPage() {
  TabSheetIntonace = new QWidget;
  TabSheetIntonace->setObjectName("TabSheetIntonace");
  PageControl->addTab(TabSheetIntonace, QStringLiteral("Intonace"));
  Intonace = new QCheckBox(QStringLiteral("Intonace"), TabSheetIntonace);
  Intonace->setObjectName("Intonace");
  Intonace->setGeometry(8, 6, 220, 18);
  Intonace_endhacent = new QCheckBox(QStringLiteral("Rozšířená intonace"), TabSheetIntonace);
  Intonace_endhacent->setObjectName("Intonace_endhacent");
  Intonace_endhacent->setGeometry(8, 28, 220, 18);

  // Shown as they are: not stored, no handler.
  QLabel* pauseLabel =
      MakeLabel(TabSheetIntonace, "Label19", QStringLiteral("Prodleva"), {6, 66, 54, 16});
  Pause = MakeTrackBar(
      TabSheetIntonace,
      {"Pause", Qt::Horizontal, {60, 58, 144, 34}, 0, 10, 5, 1, QStringLiteral("Prodleva")});
  Pause->SetSelection(4, 6);
  pauseLabel->setBuddy(Pause);
  Label17 = MakeLabel(TabSheetIntonace, "Label17", kUnmoved, {206, 66, 34, 16});
  QLabel* robotLabel =
      MakeLabel(TabSheetIntonace, "Label20", QStringLiteral("Strojově"), {6, 102, 54, 16});
  Robotize = MakeTrackBar(
      TabSheetIntonace,
      {"Robotize", Qt::Horizontal, {60, 94, 144, 34}, 0, 10, 5, 1, QStringLiteral("Strojově")});
  Robotize->SetSelection(4, 6);
  robotLabel->setBuddy(Robotize);
  Label18 = MakeLabel(TabSheetIntonace, "Label18", kUnmoved, {206, 102, 34, 16});
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

  FormStorage.AddLineEdit("TestovaciText", TestovaciText);
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
  if (VoiceStorageActive) {
    VoiceStorage.Save();
    VoiceStorageActive = false;
  }
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
  ShowValue(LabelSpeed, 200 - Speed->value(), true);
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
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(VoiceStorage.Key(), true)) reg.WriteInteger("Values_Changed", 1);
  } catch (const std::exception&) {
    // Nothing to tell: the synthesizer keeps its values.
  }
  if (Rikat->isChecked()) ButtonRekniClick();
}

void TFormViceProperties::ButtonRekniClick() {
  if (VoiceStorageActive) VoiceStorage.Save();
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

void TFormViceProperties::SaveStorages() {
  if (VoiceStorageActive) VoiceStorage.Save();
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
