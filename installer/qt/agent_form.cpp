#include "installer/qt/agent_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

#include "agent/character_file.h"
#include "agent/desktop_control.h"
#include "agent/voice_modes.h"
#include "dialogs/qt/dictionary_editor_form.h"
#include "dialogs/qt/gradient_background.h"
#include "dialogs/qt/qt_text.h"
#include "dialogs/qt/voice_properties_form.h"
#include "installer/qt/agent_seam.h"
#include "installer/engine_setup.h"
#include "platform/cp1250.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "sapi/tts_enumerator.h"

namespace kv::installer {

using dialogs::FromQString;
using dialogs::ToQString;
using platform::HKEY_CURRENT_USER;

namespace {

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

template <typename T>
T* Place(T* widget, int x, int y, int w, int h) {
  widget->setGeometry(x, y, w, h);
  return widget;
}

// Requests of a character that is gone are ignored where the form acts on its own.
template <typename F>
void Quietly(F&& request) {
  try {
    request();
  } catch (const agent::RequestError&) {
  }
}

}  // namespace

TFormMSAgentu::TFormMSAgentu()
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      TimerPos(200, [this] { TimerPosTimer(); }),
      TimerInit(500, [this] { TimerInitTimer(); }) {
  setWindowTitle(" KORVEN MS Agent & TTS control");
  setProperty("Tag", 999);
  setFixedSize(263, 261);
  CreateControls();
  ConnectHandlers();
  // FormCreate
  CharacterId = platform::ThisModule().FileName().stem().string();
  AgentKey = "\\SOFTWARE\\KORVEN\\" + CharacterId + "\\MSAGENT";
  ReadPlacement();
  Agent = MakeAgentControl();
  AgentAvailable = Agent->SetConnected(true);
  if (!AgentAvailable) Agent.reset();
  if (AgentAvailable) CharacterLoaded = LoadCharacter("");
  AgentFormReady = true;
}

TFormMSAgentu::~TFormMSAgentu() {
  WritePlacement();
}

void TFormMSAgentu::CreateControls() {
  Status = Place(new QLabel("Status : Inicializuji", this), 8, 4, 247, 16);
  Place(new QLabel(U("Použít postavu :"), this), 8, 24, 100, 16);
  MSAgentNames = Place(new QComboBox(this), 110, 22, 145, 22);
  Place(new QLabel(U("Použít hlas :"), this), 8, 50, 100, 16);
  HlasNames = Place(new QComboBox(this), 110, 48, 145, 22);
  HlasNames->addItems({"DAVLa", U("DAVLuška"), "DAVL"});
  HlasIds = new QListWidget(this);
  HlasIds->hide();
  Place(new QLabel("Animace :", this), 8, 76, 100, 16);
  AnimNames = Place(new QComboBox(this), 110, 74, 145, 22);
  AnimNames->addItem("Not yet Getted");
  Button1 = Place(new QPushButton("Vlastnosti postavy", this), 8, 100, 122, 24);
  Button2 = Place(new QPushButton(U("Vyběr postavy"), this), 133, 100, 122, 24);
  for (QWidget* w :
       std::initializer_list<QWidget*>{MSAgentNames, HlasNames, AnimNames, Button1, Button2})
    w->setEnabled(false);
  EditTestovacihoTextu = Place(new QPlainTextEdit(this), 8, 128, 247, 64);
  EditTestovacihoTextu->setPlainText(U("Testovací text 1, 2, 3."));
  ButtonSlovnik = Place(new QPushButton(U("Slovník"), this), 8, 198, 122, 24);
  ButtonVoicePropeties = Place(new QPushButton(U("Možnosti hlasu"), this), 133, 198, 122, 24);
  ButtonRekni = Place(new QPushButton(U("&Řekni <F5>"), this), 8, 228, 122, 26);
  Rikat = Place(new QCheckBox(this), 136, 232, 18, 18);
  Zavrit = Place(new QPushButton(U("&Zavřít"), this), 158, 228, 97, 26);
}

void TFormMSAgentu::ConnectHandlers() {
  connect(Button1, &QPushButton::clicked, this, [this] { Agent->ShowPropertySheet(); });
  connect(Button2, &QPushButton::clicked, this,
          [this] { Agent->ShowDefaultCharacterProperties(); });
  connect(ButtonSlovnik, &QPushButton::clicked, this, [this] { ButtonSlovnikClick(); });
  connect(ButtonVoicePropeties, &QPushButton::clicked, this,
          [this] { ButtonVoicePropetiesClick(); });
  connect(ButtonRekni, &QPushButton::clicked, this, [this] { ButtonRekniClick(); });
  new QShortcut(QKeySequence(Qt::Key_F5), this, [this] { ButtonRekniClick(); });
  connect(Zavrit, &QPushButton::clicked, this, &QWidget::close);
  connect(MSAgentNames, &QComboBox::currentIndexChanged, this, [this] { MSAgentNamesChange(); });
  connect(HlasNames, &QComboBox::currentIndexChanged, this, [this] { HlasNamesChange(); });
  connect(AnimNames, &QComboBox::currentIndexChanged, this, [this] { AnimNamesChange(); });
  connect(EditTestovacihoTextu, &QPlainTextEdit::textChanged, this,
          [this] { testTextEdited_ = true; });
}

std::string TFormMSAgentu::StoredString(std::string_view name) {
  platform::Registry reg(HKEY_CURRENT_USER);
  if (!reg.OpenKey(AgentKey, true)) return {};
  try {
    return reg.ReadString(name);
  } catch (const platform::ERegistryException&) {
    return {};  // a value of another type reads as missing
  }
}

void TFormMSAgentu::StoreString(std::string_view name, const std::string& value) {
  platform::Registry reg(HKEY_CURRENT_USER);
  if (reg.OpenKey(AgentKey, true)) reg.WriteString(name, value);
}

void TFormMSAgentu::ReadPlacement() {
  platform::Registry reg(HKEY_CURRENT_USER);
  if (!reg.OpenKey(AgentKey, true)) return;
  try {
    if (reg.ValueExists("MSA.Top") && reg.ReadInteger("MSA.Top") != 0) {
      move(reg.ReadInteger("MSA.Left"), reg.ReadInteger("MSA.Top"));
      if (reg.ValueExists("Rikat")) Rikat->setChecked(reg.ReadBool("Rikat"));
    }
  } catch (const platform::ERegistryException&) {
    // A placement of the wrong type is left as it is; the form keeps its default place.
  }
}

void TFormMSAgentu::WritePlacement() {
  platform::Registry reg(HKEY_CURRENT_USER);
  if (!reg.OpenKey(AgentKey, true)) return;
  reg.WriteInteger("MSA.Top", y());
  reg.WriteInteger("MSA.Left", x());
  reg.WriteBool("Rikat", Rikat->isChecked());
}

bool TFormMSAgentu::LoadCharacter(const std::string& name) {
  if (!Agent) return false;
  Agent->SetRaiseRequestErrors(false);
  std::string file;
  if (!name.empty()) {
    const std::string upper = cp1250::UpperCase(name);
    if (upper != "DEFAULT" && upper != "DEFAULT.ACS")
      file = name.find('.') != std::string::npos ? name : name + ".ACS";
  } else {
    const std::string stored = StoredString("Character");
    if (!stored.empty() && cp1250::UpperCase(stored) != "DEFAULT") file = stored + ".ACS";
  }
  if (Agent->Load(CharacterId, file) != 0) return false;
  Character = Agent->Character(CharacterId);
  if (Character == nullptr) return false;
  const std::string mode = StoredString("VoiceIID");
  Quietly([&] {
    Character->SetTTSModeID(mode.empty() ? std::string(agent::kDefaultVoiceMode) : mode);
  });
  Agent->OnCommand = [this](const std::string& command) { Agent1Command(command); };
  Quietly([&] {
    Character->AddCommand("Property Sheet", "&Vlastnosti postavy", "", true, true);
    Character->AddCommand("Character", cp1250::FromUtf8Lenient("&Změna postavy"), "", true, true);
    Character->AddCommand("Vlastnosti", "&Vlastnosti", "", true, true);
    Character->AddCommand(cp1250::FromUtf8Lenient("Slovník"), cp1250::FromUtf8Lenient("&Slovník"),
                          "", true, true);
  });
  Agent->OnClick = [this](int button) { ShowAgentProperties(button); };
  return true;
}

bool TFormMSAgentu::CharacterAlive() const {
  if (Character == nullptr) return false;
  try {
    Character->Width();
    return true;
  } catch (const agent::RequestError&) {
    return false;
  }
}

void TFormMSAgentu::Agent1Command(const std::string& command) {
  if (command == "Calculate")
    Quietly([&] { Character->Play("Process"); });
  else if (command == "Property Sheet")
    Agent->ShowPropertySheet();
  else if (command == "Character")
    Agent->ShowDefaultCharacterProperties();
  else if (command == "Vlastnosti")
    show(), raise(), activateWindow();
  else if (command == cp1250::FromUtf8Lenient("Slovník"))
    ButtonSlovnikClick();
  else if (command == "Goodbye")
    Quietly([&] { Character->Play("Wave"); });
}

void TFormMSAgentu::ShowAgentProperties(int button) {
  if (button != 1) return;
  show();
  raise();
  AgentCommand({"STOPALL"});
  TimerPosTimer(true);
  AgentCommand({"AF", "~think", cp1250::FromUtf8Lenient("{Zase mi chtějí měnit vlastnosti...?"),
                "~thinking"});
}

void TFormMSAgentu::TimerPosTimer(bool atOnce) {
  if (ShuttingDown || !Agent || Character == nullptr) return;
  try {
    const auto active = Agent->ActiveWindow();
    if (!active) return;
    const int w = Character->Width(), h = Character->Height();
    const auto move = atOnce ? Follower.StepAtOnce(*active, Agent->Screen(), w, h)
                             : Follower.Step(*active, Agent->Screen(), w, h);
    if (move) Character->MoveTo(move->x, move->y, 10);
  } catch (const agent::RequestError&) {
    TimerPos.SetEnabled(false);
  }
}

void TFormMSAgentu::showEvent(QShowEvent*) {
  if (!InitDone) TimerInit.SetEnabled(true);  // FormShowOrig
}

void TFormMSAgentu::TimerInitTimer() {
  TimerInit.SetEnabled(false);
  if (InitDone) return;
  InitDone = true;
  Status->setText(U("Načítám nastavení"));
  const std::string character = StoredString("Character");
  std::string voice = StoredString("Voice");
  if (voice.empty()) voice = "DAVLa";
  const std::string text = StoredString(cp1250::FromUtf8Lenient("Testovací text"));
  if (!text.empty()) EditTestovacihoTextu->setPlainText(ToQString(text));
  testTextEdited_ = false;
  Status->setText(U("Zjišťuji nainstalované TTS"));
  FillVoices(voice);
  Status->setText(U("Zjišťuji nainstalované postavy"));
  FillCharacters(character);
  Status->setText(U("Zjišťuji animace"));
  Armed = true;
  MSAgentNamesChange();
  for (QWidget* w : std::initializer_list<QWidget*>{MSAgentNames, HlasNames, AnimNames, Button1,
                                                    Button2, ButtonRekni, Zavrit})
    w->setEnabled(true);
  Status->setText("Status : Initialization Ok");
}

void TFormMSAgentu::FillVoices(const std::string& voice) {
  const QSignalBlocker block(HlasNames);
  HlasNames->clear();
  HlasIds->clear();
  sapi::TtsEnumerator enumerator;
  enumerator.Load();
  int chosen = 0;
  for (const sapi::VoiceMode& mode : enumerator.Modes()) {
    const std::string name = sapi::FieldText(mode.info.szModeName, sapi::TTSI_NAMELEN);
    if (cp1250::FromUtf8Lenient(name) == voice && chosen == 0) chosen = HlasNames->count();
    HlasNames->addItem(QString::fromStdString(name));
    HlasIds->addItem(QString::fromStdString(com::GuidToString(mode.info.gModeID)));
  }
  HlasNames->setCurrentIndex(HlasNames->count() > 0 ? chosen : -1);
}

void TFormMSAgentu::FillCharacters(const std::string& character) {
  const QSignalBlocker block(MSAgentNames);
  MSAgentNames->clear();
  MSAgentNames->addItem("DEFAULT");
  for (const std::string& name : agent::InstalledCharacterNames())
    MSAgentNames->addItem(ToQString(name));
  const int at = MSAgentNames->findText(ToQString(character));
  MSAgentNames->setCurrentIndex(at >= 0 ? at : 0);
}

void TFormMSAgentu::MSAgentNamesChange() {
  if (!Armed || !Agent) return;
  if (Character != nullptr) {
    Quietly([&] { Character->Hide(); });
    Agent->Unload(CharacterId);
    Character = nullptr;
  }
  const std::string name = FromQString(MSAgentNames->currentText());
  CharacterLoaded = LoadCharacter(name + ".ACS");
  if (!CharacterLoaded) return;
  TimerPosTimer(true);
  Quietly([&] { Character->Show(); });
  const QSignalBlocker block(AnimNames);
  AnimNames->clear();
  for (const std::string& animation : Character->AnimationNames())
    AnimNames->addItem(ToQString(animation));
  AnimNames->model()->sort(0);
  StoreString("Character", name);
  Quietly([&] { Character->Play("WAVE"); });
}

void TFormMSAgentu::HlasNamesChange() {
  if (!Armed || Character == nullptr) return;
  const int index = HlasNames->currentIndex();
  if (index < 0 || index >= HlasIds->count()) return;
  const std::string modeId = HlasIds->item(index)->text().toStdString();
  Quietly([&] { Character->SetTTSModeID(modeId); });
  ButtonRekniClick();
  StoreString("VoiceIID", modeId);
  StoreString("Voice", FromQString(HlasNames->currentText()));
}

void TFormMSAgentu::AnimNamesChange() {
  if (Character == nullptr) return;
  const std::string name = FromQString(AnimNames->currentText());
  Quietly([&] {
    Character->StopAll();
    Character->Play(name);
  });
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    clipboard->setText(AnimNames->currentText());
}

void TFormMSAgentu::ButtonRekniClick() {
  AgentCommand({"STOPALL"});
  AgentCommand({"AF", FromQString(EditTestovacihoTextu->toPlainText())});
}

void TFormMSAgentu::ButtonSlovnikClick() {
  dialogs::DictionaryFileName = EngineDictionaryPath();
  if (slovnik_ == nullptr) {
    slovnik_ = new dialogs::TFormSlovnik(this);
    slovnik_->move(x() + frameGeometry().width(), y());
  }
  slovnik_->OnSay = SayFromAgentForm;
  slovnik_->show();
  slovnik_->raise();
  AgentCommand({"STOPALL"});
  TimerPosTimer(true);
}

void TFormMSAgentu::ButtonVoicePropetiesClick() {
  dialogs::VoiceIndex = 0;
  if (properties_ == nullptr) properties_ = new dialogs::TFormViceProperties(this);
  properties_->OnSay = SayFromAgentForm;
  properties_->show();
}

void TFormMSAgentu::FormDeactivate() {
  AgentCommand({"STOPALL"});
  if (!testTextEdited_) return;
  StoreString(cp1250::FromUtf8Lenient("Testovací text"),
              FromQString(EditTestovacihoTextu->toPlainText()));
  testTextEdited_ = false;
}

void TFormMSAgentu::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) FormDeactivate();
  QWidget::changeEvent(event);
}

void TFormMSAgentu::paintEvent(QPaintEvent*) {
  dialogs::PaintGradientBackground(*this);
}

void TFormMSAgentu::Shutdown() {
  ShuttingDown = true;
  TimerPos.SetEnabled(false);
  if (Agent) {
    if (Character != nullptr) {
      bool shared = false;
      Quietly([&] { shared = Character->HasOtherClients(); });
      if (!shared) Agent->Unload(CharacterId);
    }
    Character = nullptr;
    Agent->SetConnected(false);
  }
}

}  // namespace kv::installer
