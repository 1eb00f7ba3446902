#include "agent/desktop_control.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "agent/active_window_x11.h"
#include "platform/cp1250.h"

namespace kv::agent {

namespace {

QString Utf8(const std::string& cp1250Text) {
  return QString::fromStdString(cp1250::ToUtf8(cp1250Text));
}

std::string Upper(const std::string& text) {
  return cp1250::UpperCase(text);
}

}  // namespace

std::vector<std::string> InstalledCharacterNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(CharactersFolder(), error)) {
    const std::string file = entry.path().filename().string();
    if (file.size() > 4 && Upper(file.substr(file.size() - 4)) == ".ACS")
      names.push_back(Upper(file.substr(0, file.size() - 4)));
  }
  std::sort(names.begin(), names.end());
  return names;
}

DesktopControl::DesktopControl() = default;

DesktopControl::~DesktopControl() {
  delete sheet_.data();
  delete chooser_.data();
}

bool DesktopControl::SetConnected(bool connected) {
  if (!connected) {
    characters_.clear();
    connected_ = false;
    return true;
  }
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
  InstallShippedCharacters();
  connected_ = true;
  return true;
}

// A file name as given (absolute, or in the characters folder), matched without regard to case.
std::optional<CharacterLook> DesktopControl::FindLook(const std::string& file) const {
  std::filesystem::path path(file);
  if (path.is_absolute()) return ReadCharacterFile(path);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(CharactersFolder(), error))
    if (Upper(entry.path().filename().string()) == Upper(file))
      return ReadCharacterFile(entry.path());
  return std::nullopt;
}

int DesktopControl::Load(const std::string& id, const std::string& file) {
  if (!connected_) return kNotConnected;
  const std::string wanted = file.empty() ? defaultFile_ : file;
  std::optional<CharacterLook> look = wanted.empty() ? DefaultLook() : FindLook(wanted);
  if (!look) return kFileNotFound;
  characters_[id] = std::make_unique<DesktopCharacter>(*look, *this);
  return 0;
}

AgentCharacter* DesktopControl::Character(const std::string& id) {
  auto it = characters_.find(id);
  return it == characters_.end() ? nullptr : it->second.get();
}

void DesktopControl::Unload(const std::string& id) {
  characters_.erase(id);
}

void DesktopControl::ShowPropertySheet() {
  if (!connected_) return;
  if (sheet_ == nullptr) {
    sheet_ = new QWidget(nullptr, Qt::Dialog);
    sheet_->setWindowTitle("Vlastnosti postavy");
    new QVBoxLayout(sheet_);
  }
  auto* layout = sheet_->layout();
  while (QLayoutItem* item = layout->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  for (const auto& [id, character] : characters_) {
    const CharacterLook& look = character->Window().Look();
    layout->addWidget(new QLabel(QString("%1 (%2)\n%3 × %4 px\nHlas: %5")
                                     .arg(Utf8(look.name), Utf8(id))
                                     .arg(character->Width())
                                     .arg(character->Height())
                                     .arg(QString::fromStdString(character->TTSModeID()))));
  }
  sheet_->show();
  sheet_->raise();
}

void DesktopControl::ShowDefaultCharacterProperties() {
  if (!connected_) return;
  if (chooser_ == nullptr) {
    auto* dialog = new QWidget(nullptr, Qt::Dialog);
    dialog->setWindowTitle("Výchozí postava");
    auto* layout = new QVBoxLayout(dialog);
    auto* list = new QListWidget(dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QWidget::hide);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [this, list, dialog] {
      if (QListWidgetItem* item = list->currentItem()) {
        const std::string name = cp1250::FromUtf8Lenient(item->text().toStdString());
        defaultFile_ = name == "DEFAULT" ? std::string() : name + ".ACS";
      }
      dialog->hide();
    });
    chooser_ = dialog;
  }
  auto* list = chooser_->findChild<QListWidget*>();
  list->clear();
  list->addItem("DEFAULT");
  for (const std::string& name : InstalledCharacterNames()) list->addItem(Utf8(name));
  list->setCurrentRow(0);
  chooser_->show();
  chooser_->raise();
}

std::optional<Geometry> DesktopControl::ActiveWindow() const {
  return X11ActiveWindow(QGuiApplication::platformName() == "xcb");
}

Geometry DesktopControl::Screen() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {0, 0, 1024, 768};
  const QRect r = screen->geometry();
  return {r.left(), r.top(), r.width(), r.height()};
}

}  // namespace kv::agent
