#include "installer/qt/main_form.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMovie>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <fstream>
#include <iterator>
#include <system_error>

#include "dialogs/qt/dictionary_editor_form.h"
#include "dialogs/qt/gradient_background.h"
#include "dialogs/qt/qt_text.h"
#include "dialogs/qt/settings_storage.h"
#include "dialogs/qt/voice_properties_form.h"
#include "installer/payload.h"
#include "installer/qt/agent_seam.h"
#include "installer/wave_outline.h"
#include "platform/module.h"
#include "synth/memory_stream.h"

namespace kv::installer {
namespace fs = std::filesystem;

using dialogs::FromQString;
using dialogs::ToQString;
using platform::HKEY_CURRENT_USER;

namespace {

constexpr int kClientWidth = 476;
constexpr int kClientHeight = 313;
constexpr const char* kWebAddress = "https://www.korven.cz/";

// A label that runs a handler when clicked (LL).
class TClickLabel : public QLabel {
 public:
  TClickLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
      : QLabel(text, parent), onClick_(std::move(onClick)) {}

 protected:
  void mousePressEvent(QMouseEvent*) override {
    if (onClick_) onClick_();
  }

 private:
  std::function<void()> onClick_;
};

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QLabel* MakeLabel(const QString& text, QWidget* parent, int x, int y, int w, int h) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, w, h);
  return label;
}

// The version message's paragraphs (split at CR CR) with a small gap where the text has an
// empty line: a whole empty line would push the last sentence out of the label.
QString VersionMessageHtml(const std::string& text) {
  QString html;
  for (const QString& paragraph : ToQString(text).split(QStringLiteral("\r\r")))
    html += (html.isEmpty() ? QStringLiteral("<p style='margin: 0'>")
                            : QStringLiteral("<p style='margin: 3px 0 0 0'>")) +
            paragraph.trimmed().toHtmlEscaped().replace(u'\r', QStringLiteral("<br>")) +
            QStringLiteral("</p>");
  return html;
}

template <typename T>
T* Place(T* widget, int x, int y, int w, int h, const QString& hint = {}) {
  widget->setGeometry(x, y, w, h);
  if (!hint.isEmpty()) widget->setToolTip(hint);
  return widget;
}

// The agent unit behind the logic's agent port.
class TAgentSeamPort : public AgentPort {
 public:
  void SetEnabled(bool enabled) override { AgentEnabled = enabled; }
  void Command(const std::vector<AgentArgument>& values) override { AgentCommand(values); }
  void Shutdown() override { AgentShutdown(); }
  bool FormExists() const override { return AgentFormExists(); }
  bool CharacterLoaded() const override { return installer::CharacterLoaded; }
  void ShowProperties() override { AgentShowProperties(); }
};

// Sets a check box from code without running its handler's work (Ready is cleared around it).
void SetChecked(QCheckBox* box, bool checked) {
  const QSignalBlocker block(box);
  box->setChecked(checked);
}

}  // namespace

TForm_tts_Install::TForm_tts_Install()
    : agentPort_(std::make_unique<TAgentSeamPort>()), Logic(*this, *agentPort_) {
  setObjectName("Form_tts_Install");
  SetExtractionFailureSignal([] { QApplication::beep(); });
  CreateControls();
  ConnectHandlers();
  // FormCreate
  setWindowTitle(ToQString(MainFormLogic::Caption()));
  D->setText(QString::number(MainFormLogic::TodayNumber()));
  FormStorage1 = std::make_unique<dialogs::TSettingsStorage>(HKEY_CURRENT_USER,
                                                             "SOFTWARE\\KORVEN\\KV_TTS_Install");
  FormStorage1->AddPlacement("Form_tts_Install", this);
  FormStorage1->AddProperty(
      "PageControl1_ActivePage", [this] { return std::to_string(PageControl1->currentIndex()); },
      [this](const std::string& v) { PageControl1->setCurrentIndex(std::atoi(v.c_str())); });
  FormStorage1->Load();
  Timer1->start();
  PosTimer->start();
}

TForm_tts_Install::~TForm_tts_Install() {
  Logic.FormDestroy();
}

void TForm_tts_Install::CreateControls() {
  setFixedSize(kClientWidth, kClientHeight);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  setAutoFillBackground(false);
  if (const QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  Image1 = MakeLabel({}, this, 0, 0, 64, 64);
  Animate1 = MakeLabel({}, this, 4, 70, 64, 64);
  Animate2 = MakeLabel({}, this, 4, 140, 64, 64);
  ST = MakeLabel("><", this, 72, 4, 300, 16);
  // Navy: aqua, as the word was once drawn, vanishes into the gradient's cyan top.
  ST->setStyleSheet("color: navy; font-weight: bold;");
  LL = new TClickLabel("*", this, [this] { LLClick(); });
  Place(LL, 458, 4, 12, 16);
  LabelInfo = MakeLabel({}, this, 72, 20, 398, 44);
  LabelInfo->setWordWrap(true);
  LabelInfo->setTextFormat(Qt::RichText);
  QFont infoFont = LabelInfo->font();
  infoFont.setPixelSize(11);  // the settings forms' size: three lines and a gap fit above the pages
  LabelInfo->setFont(infoFont);
  ButtonOk = Place(new QPushButton("Ok", this), 400, 284, 70, 24, U("Ukončit program?"));
  ButtonOk->setEnabled(false);
  Rikat = Place(new QCheckBox(U("Použít hlasové vysvětlivky "), this), 72, 286, 300, 20,
                U("Použít hlasové vysvětlivky tohoto okna?"));
  PageControl1 = Place(new QTabWidget(this), 72, 64, 398, 216);
  PageControl1->setEnabled(false);
  CreateInstallerPage();
  CreateSwitcherPage();
  CreateTestPage();
  TabSheet2 = new QWidget;
  WebBrowser1 = new QTextBrowser(TabSheet2);
  WebBrowser1->setGeometry(0, 0, 392, 188);
  WebBrowser1->setOpenExternalLinks(true);  // the desktop's browser
  PageControl1->addTab(TabSheet2, "Info");

  Timer1 = new QTimer(this);
  Timer1->setInterval(100);
  PosTimer = new QTimer(this);
  PosTimer->setInterval(500);
  if (auto data = platform::ThisModule().FindResource("AVI", "APPLICATION"))
    Image1->setPixmap(QPixmap::fromImage(QImage::fromData(data->data(), int(data->size()))));
}

void TForm_tts_Install::CreateInstallerPage() {
  TabSheet1 = new QWidget;
  TTS_KORVEN_INSTALED =
      Place(new QCheckBox(U("Nainstalovat hlasový systém KORVEN (TTS SAPI 4.0)"), TabSheet1), 6, 6,
            380, 20, U("Nainstalovat český hlasový engin DAVLA KORVEN."));
  TTS_KORVEN_INSTALED->setEnabled(false);
  Precti_to =
      Place(new QCheckBox(U("Nainstalovat pravé tlačístko v exploreru \"Přečti to!\""), TabSheet1),
            6, 28, 380, 20,
            U("Aktivovat položku \"Přečti to!\" na pravé tlačítko myšky v Microsoft "
              "exploreru. \r\n(Jen s nainstalovanou technologií MS Agent)."));
  Precti_to->setEnabled(false);
  MakeLabel("Status:", TabSheet1, 6, 54, 50, 16);
  Status_tts = MakeLabel("init", TabSheet1, 60, 54, 320, 16);
  MakeLabel("Status:", TabSheet1, 6, 72, 50, 16);
  Status_Rekni_to = MakeLabel("init", TabSheet1, 60, 72, 320, 16);
  TestMSAgent = Place(new QPushButton("Test MSAgent", TabSheet1), 6, 94, 110, 24);
  IM = MakeLabel({}, TabSheet1, 6, 124, 301, 56);
  IM->setVisible(false);
  URLLabel1 = MakeLabel(QString("<a href=\"%1\">www.korven.cz</a>").arg(kWebAddress), TabSheet1, 6,
                        140, 200, 16);
  URLLabel1->setOpenExternalLinks(true);
  D = MakeLabel({}, TabSheet1, 320, 164, 64, 16);
  PageControl1->addTab(TabSheet1, U("Instalátor"));
}

void TForm_tts_Install::CreateSwitcherPage() {
  TabSheet4 = new QWidget;
  auto* label2 =
      MakeLabel(U("Doporučujeme aktivovat pouze jeden z enginů :"), TabSheet4, 6, 4, 380, 16);
  label2->setAlignment(Qt::AlignCenter);
  label2->setWordWrap(true);
  CheckListBox1 = Place(new QListWidget(TabSheet4), 6, 24, 380, 120);
  LSEIN = MakeLabel("Registry internal Name : ", TabSheet4, 6, 148, 380, 16);
  LSEIC = MakeLabel("CLSID : ", TabSheet4, 6, 166, 380, 16);
  PageControl1->addTab(TabSheet4, U("(de)aktivátor"));
}

void TForm_tts_Install::CreateTestPage() {
  TabSheetTest = new QWidget;
  Memo1 = Place(new QPlainTextEdit(TabSheetTest), 6, 6, 200, 150);
  Memo1->setPlainText(U("Testovací text 1, 2, 3.\nAktuální verze TTS je \nwww.korven.cz"));
  Button4 = Place(new QPushButton(U("Řekni to hlasem v instalátoru"), TabSheetTest), 6, 160, 200,
                  24, U("Hlas zabudovaný v tomto programu (KV_TTS_INSTALL.EXE)"));
  auto* tts = Place(new QGroupBox("TTS", TabSheetTest), 212, 2, 174, 56);
  ButtonSlovnik = Place(new QPushButton(U("Slovník"), tts), 6, 22, 78, 26);
  ButtonProperties = Place(new QPushButton("Properties", tts), 90, 22, 78, 26);
  auto* agent = Place(new QGroupBox("Microsoft Agent", TabSheetTest), 212, 62, 174, 120);
  ButtonUninit = Place(new QPushButton("U n i n i t", agent), 6, 22, 162, 26);
  ButtonUninit->setEnabled(false);
  Button2 = Place(new QPushButton(U("Řekni"), agent), 6, 52, 162, 26,
                  U("Test MS Agent (pouze je-li nainstalován)"));
  Button5 = Place(new QPushButton("Properties", agent), 6, 82, 162, 26);
  PageControl1->addTab(TabSheetTest, "Test");
}

void TForm_tts_Install::ConnectHandlers() {
  MainFormLogic& l = Logic;
  connect(Timer1, &QTimer::timeout, this, [&l] { l.Timer1Timer(); });
  connect(PosTimer, &QTimer::timeout, this, [&l] { l.PosTimerTimer(); });
  connect(ButtonOk, &QPushButton::clicked, this, [this] { close(); });
  connect(Rikat, &QCheckBox::toggled, this, [&l] { l.RikatClick(); });
  connect(TTS_KORVEN_INSTALED, &QCheckBox::toggled, this, [&l] { l.TTS_KORVEN_INSTALEDClick(); });
  connect(Precti_to, &QCheckBox::toggled, this, [&l] { l.Precti_toClick(); });
  connect(Button4, &QPushButton::clicked, this, [&l] { l.Button4Click(); });
  connect(Button2, &QPushButton::clicked, this, [&l] { l.Button2Click(); });
  connect(Button5, &QPushButton::clicked, this, [&l] { l.Button5Click(); });
  connect(TestMSAgent, &QPushButton::clicked, this, [&l] { l.TestMSAgentClick(); });
  connect(ButtonUninit, &QPushButton::clicked, this, [&l] { l.ButtonUninitClick(); });
  connect(ButtonSlovnik, &QPushButton::clicked, this, [&l] { l.ButtonSlovnikClick(); });
  connect(ButtonProperties, &QPushButton::clicked, this, [&l] { l.ButtonPropertiesClick(); });
  connect(CheckListBox1, &QListWidget::currentRowChanged, this,
          [this] { Logic.CheckListBox1Click(CheckListBox1->currentRow()); });
  connect(CheckListBox1, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    Logic.CheckListBox1ClickCheck(CheckListBox1->row(item), item->checkState() == Qt::Checked);
  });
  connect(PageControl1, &QTabWidget::currentChanged, this, [&l] { l.PageControl1Change(); });
}

void TForm_tts_Install::SetStatusTts(const std::string& text, bool now) {
  Status_tts->setText(ToQString(text));
  if (now) Status_tts->repaint();
}

void TForm_tts_Install::SetStatusRekniTo(const std::string& text, bool now) {
  Status_Rekni_to->setText(ToQString(text));
  if (now) Status_Rekni_to->repaint();
}

void TForm_tts_Install::SetInstallBoxEnabled(bool enabled) {
  TTS_KORVEN_INSTALED->setEnabled(enabled);
}

bool TForm_tts_Install::InstallBoxEnabled() const {
  return !TTS_KORVEN_INSTALED->testAttribute(Qt::WA_ForceDisabled);
}

void TForm_tts_Install::SetInstallBoxChecked(bool checked) {
  SetChecked(TTS_KORVEN_INSTALED, checked);
}

bool TForm_tts_Install::InstallBoxChecked() const {
  return TTS_KORVEN_INSTALED->isChecked();
}

void TForm_tts_Install::SetPrectiToEnabled(bool enabled) {
  Precti_to->setEnabled(enabled);
}

void TForm_tts_Install::SetPrectiToChecked(bool checked) {
  SetChecked(Precti_to, checked);
}

bool TForm_tts_Install::PrectiToChecked() const {
  return Precti_to->isChecked();
}

void TForm_tts_Install::SetSpeakBox(bool checked) {
  Rikat->setChecked(checked);
}

bool TForm_tts_Install::SpeakBoxChecked() const {
  return Rikat->isChecked();
}

void TForm_tts_Install::SetLibraryHint(const std::string& hint) {
  LL->setToolTip(ToQString(hint));
}

void TForm_tts_Install::SetVersionMessage(const std::string& text) {
  LabelInfo->setText(VersionMessageHtml(text));
}

void TForm_tts_Install::ShowInstallerPage() {
  PageControl1->setCurrentWidget(TabSheet1);
}

void TForm_tts_Install::SetEngineRows(const std::vector<EngineRow>& rows) {
  const QSignalBlocker block(CheckListBox1);
  CheckListBox1->clear();
  for (const EngineRow& row : rows) {
    auto* item = new QListWidgetItem(ToQString(row.display), CheckListBox1);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(row.active ? Qt::Checked : Qt::Unchecked);
  }
}

void TForm_tts_Install::SetEngineDetails(const std::string& name, const std::string& clsid) {
  LSEIN->setText(ToQString(name));
  LSEIC->setText(ToQString(clsid));
}

void TForm_tts_Install::SetTestText(const std::string& text) {
  Memo1->setPlainText(ToQString(text));
}

std::string TForm_tts_Install::TestText() const {
  return FromQString(Memo1->toPlainText());
}

void TForm_tts_Install::SetAgentButtonCaption(const std::string& caption) {
  TestMSAgent->setText(ToQString(caption));
}

std::string TForm_tts_Install::AgentButtonCaption() const {
  return FromQString(TestMSAgent->text());
}

void TForm_tts_Install::SetUninitEnabled(bool enabled) {
  ButtonUninit->setEnabled(enabled);
}

void TForm_tts_Install::StopStartTimer() {
  Timer1->stop();
}

void TForm_tts_Install::StartStartTimer(int milliseconds) {
  Timer1->setInterval(milliseconds);
  Timer1->start();
}

void TForm_tts_Install::StartPosTimer() {
  PosTimer->start();
}

void TForm_tts_Install::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TForm_tts_Install::EnablePagesAndOk() {
  PageControl1->setEnabled(true);
  ButtonOk->setEnabled(true);
}

void TForm_tts_Install::SetSpokenWord(const std::string& text) {
  ST->setText(ToQString(text));
}

void TForm_tts_Install::SetWaveShown(bool shown) {
  IM->setVisible(shown);
  URLLabel1->setVisible(!shown);
}

bool TForm_tts_Install::InfoPageActive() const {
  return PageControl1->currentWidget() == TabSheet2;
}

void TForm_tts_Install::ShowInfoPage(const fs::path& file) {
  if (file.empty()) {
    WebBrowser1->clear();
    return;
  }
  std::ifstream in(file, std::ios::binary);
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WebBrowser1->setHtml(ToQString(page));  // the page is Windows-1250
}

void TForm_tts_Install::OpenDictionaryEditor(const fs::path& dictionary) {
  dialogs::DictionaryFileName = dictionary;
  if (!slovnik_) slovnik_ = new dialogs::TFormSlovnik(this);
  slovnik_->OnSay = SayThroughAgent;
  slovnik_->show();
}

void TForm_tts_Install::OpenVoiceProperties() {
  dialogs::VoiceIndex = 0;
  if (!properties_) properties_ = new dialogs::TFormViceProperties(this);
  properties_->OnSay = SayThroughAgent;
  properties_->show();
}

void TForm_tts_Install::PlayAnimation(int which) {
  QLabel* player = which == 1 ? Animate1 : Animate2;
  const auto data = platform::ThisModule().FindResource("AVI", "APPLICATION");
  if (!data) return;
  auto* buffer = new QBuffer(player);
  buffer->setData(reinterpret_cast<const char*>(data->data()), qsizetype(data->size()));
  auto* movie = new QMovie(buffer, QByteArray(), player);
  // Plays through once and stays on the last frame.
  connect(movie, &QMovie::frameChanged, player, [movie](int frame) {
    if (frame + 1 >= movie->frameCount()) movie->setPaused(true);
  });
  player->setMovie(movie);
  movie->start();
}

void TForm_tts_Install::DrawWave(const MemoryStream& wave) {
  QPixmap image(IM->size());
  image.fill(Qt::white);
  QPainter painter(&image);
  const int middle = int(std::nearbyint(image.height() / 2.0));
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawLine(0, middle, image.width(), middle);
  painter.setPen(Qt::black);
  const auto points = WaveOutline(wave.Bytes(), image.width(), image.height());
  for (size_t i = 1; i < points.size(); ++i)
    painter.drawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
  painter.end();
  IM->setPixmap(image);
}

void TForm_tts_Install::paintEvent(QPaintEvent*) {
  dialogs::PaintGradientBackground(*this);
}

void TForm_tts_Install::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Logic.PageControl1Change();  // FormActivate
}

void TForm_tts_Install::closeEvent(QCloseEvent* event) {
  FormStorage1->Save();
  Logic.FormDestroy();
  event->accept();
  QApplication::quit();  // closing the form ends the program
}

}  // namespace kv::installer
