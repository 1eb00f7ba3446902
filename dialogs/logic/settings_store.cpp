#include "dialogs/logic/settings_store.h"

#include <optional>

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

}  // namespace

SettingsStore::SettingsStore(platform::RootKey root, std::string key)
    : root_(root), key_(std::move(key)) {}

void SettingsStore::AddProperty(std::string valueName, std::function<std::string()> get,
                                std::function<void(const std::string&)> set) {
  properties_.push_back({std::move(valueName), std::move(get), std::move(set)});
}

void SettingsStore::AddNumber(std::string valueName, std::function<int()> get,
                              std::function<void(int)> set) {
  AddProperty(
      std::move(valueName), [get] { return std::to_string(get()); },
      [set](const std::string& text) {
        if (std::optional<int> v = ReadNumber(text)) set(*v);
      });
}

void SettingsStore::AddPosition(const std::string& name, std::function<int()> get,
                                std::function<void(int)> set) {
  AddNumber(name + "_Position", std::move(get), std::move(set));
}

void SettingsStore::AddChecked(const std::string& name, std::function<bool()> get,
                               std::function<void(bool)> set) {
  AddProperty(
      name + "_Checked", [get] { return std::string(get() ? "True" : "False"); },
      // Exactly as the synthesizer reads it: anything but "True" is false.
      [set](const std::string& text) { set(text == "True"); });
}

void SettingsStore::Save() {
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

void SettingsStore::Load() {
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
