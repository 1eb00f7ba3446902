// The settings storage (dialogs/logic/settings_store.h) with the Qt controls it stores.
#pragma once

#include <string>

#include "dialogs/logic/settings_store.h"

class QAbstractButton;
class QAbstractSlider;
class QLineEdit;
class QWidget;

namespace kv::dialogs {

// The window's position (of its client area), as "<name>_Left" and "<name>_Top".
void AddPlacement(SettingsStore& store, const std::string& name, QWidget* window);

class TSettingsStorage : public SettingsStore {
 public:
  using SettingsStore::SettingsStore;

  // Stored as "<name>_Position": the decimal position.
  void AddTrackBar(const std::string& name, QAbstractSlider* slider);
  // Stored as "<name>_Checked": "True" or "False".
  void AddCheckBox(const std::string& name, QAbstractButton* box);
  // Stored as "<name>_Text".
  void AddLineEdit(const std::string& name, QLineEdit* edit);
  void AddPlacement(const std::string& name, QWidget* window) {
    dialogs::AddPlacement(*this, name, window);
  }
};

}  // namespace kv::dialogs
