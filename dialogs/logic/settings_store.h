// A settings storage: a set of control properties kept as string values in one registry key,
// named component, underscore, property ("Volume_Position", "Rikat_Checked"). Loading takes
// the stored value where one exists and keeps the control's current one otherwise; a control
// whose value does not change fires no change handler. Registry failures leave the controls
// as they are and are not reported. The controls are reached through the get and set
// functions each face gives, so the storage knows no toolkit.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace kv::dialogs {

class SettingsStore {
 public:
  // key: Windows-1250; a leading backslash makes it absolute.
  SettingsStore(platform::RootKey root, std::string key);

  void SetKey(std::string key) { key_ = std::move(key); }
  const std::string& Key() const { return key_; }
  platform::RootKey Root() const { return root_; }
  // Writes the storage's own version value "FormVersion" (0) with every save.
  void SetWritesVersion(bool writes) { writesVersion_ = writes; }

  // Any property: reads the control into text (Windows-1250) and back.
  void AddProperty(std::string valueName, std::function<std::string()> get,
                   std::function<void(const std::string&)> set);
  // A number stored in decimal and read as the synthesizer reads stored numbers; a value
  // that is no number leaves the control as it is.
  void AddNumber(std::string valueName, std::function<int()> get, std::function<void(int)> set);
  // Stored as "<name>_Position".
  void AddPosition(const std::string& name, std::function<int()> get, std::function<void(int)> set);
  // Stored as "<name>_Checked": "True" or "False"; anything but "True" reads false.
  void AddChecked(const std::string& name, std::function<bool()> get,
                  std::function<void(bool)> set);

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
