#include "dialogs/forms/settings_storage.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <optional>

#include "dialogs/forms/qt_text.h"
#include "platform/numeric.h"

namespace kv::dialogs {

namespace {

// The synthesizer's own reading of stored numbers, so the dialog shows what it will use.
std::optional<int> ReadNumber(const std::string& text) {
  try {
    return StrToIntLenient(text);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

bool OnSomeScreen(const QPoint& point) {
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().contains(point)) return true;
  return false;
}

}  // namespace

TSettingsStorage::TSettingsStorage(platform::RootKey root, std::string key)
    : root_(root), key_(std::move(key)) {}

void TSettingsStorage::AddProperty(std::string valueName, std::function<std::string()> get,
                                   std::function<void(const std::string&)> set) {
  properties_.push_back({std::move(valueName), std::move(get), std::move(set)});
}

void TSettingsStorage::AddTrackBar(const std::string& name, QAbstractSlider* slider) {
  AddProperty(
      name + "_Position", [slider] { return std::to_string(slider->value()); },
      [slider](const std::string& text) {
        if (std::optional<int> v = ReadNumber(text)) slider->setValue(*v);
      });
}

void TSettingsStorage::AddCheckBox(const std::string& name, QAbstractButton* box) {
  AddProperty(
      name + "_Checked", [box] { return std::string(box->isChecked() ? "True" : "False"); },
      // Exactly as the synthesizer reads it: anything but "True" is false.
      [box](const std::string& text) { box->setChecked(text == "True"); });
}

void TSettingsStorage::AddLineEdit(const std::string& name, QLineEdit* edit) {
  AddProperty(
      name + "_Text", [edit] { return FromQString(edit->text()); },
      [edit](const std::string& text) { edit->setText(ToQString(text)); });
}

// The client area's position, stored and restored alike. The frame's position would not
// survive a round trip: until the window manager has framed a window being shown, the
// toolkit knows no frame, so a frame position restored then lands on the client area and
// the window creeps by the frame's size on every open and close.
void TSettingsStorage::AddPlacement(const std::string& name, QWidget* window) {
  auto place = [window](QPoint where) {
    if (OnSomeScreen(where)) window->setGeometry(QRect(where, window->size()));
  };
  AddProperty(
      name + "_Left", [window] { return std::to_string(window->geometry().x()); },
      [window, place](const std::string& text) {
        if (std::optional<int> x = ReadNumber(text)) place({*x, window->geometry().y()});
      });
  AddProperty(
      name + "_Top", [window] { return std::to_string(window->geometry().y()); },
      [window, place](const std::string& text) {
        if (std::optional<int> y = ReadNumber(text)) place({window->geometry().x(), *y});
      });
}

void TSettingsStorage::Save() {
  try {
    platform::RegistryBatch batch;
    platform::Registry reg(root_);
    if (!reg.OpenKey(key_, true)) return;
    for (const Property& p : properties_) reg.WriteString(p.valueName, p.get());
    if (writesVersion_) reg.WriteString("FormVersion", "0");
    batch.Commit();
  } catch (const std::exception&) {
    // Storage is a convenience: the controls stay as they are.
  }
}

void TSettingsStorage::Load() {
  struct Stored {
    const Property* property;
    std::string text;
  };
  std::vector<Stored> stored;
  try {
    platform::RegistryBatch batch(false);
    platform::Registry reg(root_);
    if (!reg.OpenKey(key_, false)) return;
    for (const Property& p : properties_)
      if (reg.GetDataType(p.valueName) == platform::ValueType::String)
        stored.push_back({&p, reg.ReadString(p.valueName)});
  } catch (const std::exception&) {
    return;
  }
  // Outside the batch: change handlers may touch the registry themselves.
  for (const Stored& s : stored) s.property->set(s.text);
}

}  // namespace kv::dialogs
