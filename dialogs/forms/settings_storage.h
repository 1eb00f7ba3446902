// A settings storage: a set of control properties kept as string values in one registry key,
// named component, underscore, property ("Volume_Position", "Rikat_Checked"). Loading takes
// the stored value where one exists and keeps the control's current one otherwise; a control
// whose value does not change fires no change handler. Registry failures leave the controls
// as they are and are not reported.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"

class QAbstractButton;
class QAbstractSlider;
class QLineEdit;
class QWidget;

namespace kv::dialogs {

class TSettingsStorage {
 public:
  // key: Windows-1250; a leading backslash makes it absolute.
  TSettingsStorage(platform::RootKey root, std::string key);

  void SetKey(std::string key) { key_ = std::move(key); }
  const std::string& Key() const { return key_; }
  platform::RootKey Root() const { return root_; }
  // Writes the storage's own version value "FormVersion" (0) with every save.
  void SetWritesVersion(bool writes) { writesVersion_ = writes; }

  // Stored as "<name>_Position": the decimal position.
  void AddTrackBar(const std::string& name, QAbstractSlider* slider);
  // Stored as "<name>_Checked": "True" or "False".
  void AddCheckBox(const std::string& name, QAbstractButton* box);
  // Stored as "<name>_Text".
  void AddLineEdit(const std::string& name, QLineEdit* edit);
  // The window's position (of its client area), as "<name>_Left" and "<name>_Top".
  void AddPlacement(const std::string& name, QWidget* window);
  // Any other property: reads the control into text (Windows-1250) and back.
  void AddProperty(std::string valueName, std::function<std::string()> get,
                   std::function<void(const std::string&)> set);

  void Save();
  void Load();

 private:
  struct Property {
    std::string valueName;
    std::function<std::string()> get;
    std::function<void(const std::string&)> set;
  };

  platform::RootKey root_;
  std::string key_;
  bool writesVersion_ = false;
  std::vector<Property> properties_;
};

}  // namespace kv::dialogs
