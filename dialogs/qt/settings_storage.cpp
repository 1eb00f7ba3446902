#include "dialogs/qt/settings_storage.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include "dialogs/qt/qt_text.h"

namespace kv::dialogs {

namespace {

bool OnSomeScreen(const QPoint& point) {
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().contains(point)) return true;
  return false;
}

}  // namespace

void TSettingsStorage::AddTrackBar(const std::string& name, QAbstractSlider* slider) {
  AddPosition(
      name, [slider] { return slider->value(); }, [slider](int v) { slider->setValue(v); });
}

void TSettingsStorage::AddCheckBox(const std::string& name, QAbstractButton* box) {
  AddChecked(
      name, [box] { return box->isChecked(); }, [box](bool checked) { box->setChecked(checked); });
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
void AddPlacement(SettingsStore& store, const std::string& name, QWidget* window) {
  auto place = [window](QPoint where) {
    if (OnSomeScreen(where)) window->setGeometry(QRect(where, window->size()));
  };
  store.AddNumber(
      name + "_Left", [window] { return window->geometry().x(); },
      [window, place](int x) {
        place({x, window->geometry().y()});
      });
  store.AddNumber(
      name + "_Top", [window] { return window->geometry().y(); },
      [window, place](int y) {
        place({window->geometry().x(), y});
      });
}

}  // namespace kv::dialogs
