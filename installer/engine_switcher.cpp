#include "installer/engine_switcher.h"

#include "installer/installer_texts.h"
#include "platform/registry.h"

namespace kv::installer {

using platform::ERegistryException;
using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_LOCAL_MACHINE;
using platform::Registry;

namespace {

struct VendorMarker {
  const char* displayName;
  const char* marker;
};
constexpr VendorMarker kVendorMarkers[] = {{"CV.Enumerator", " (CS-Voice )"},
                                           {"WT Voice", " (WinTalker)"}};

std::string BackupKey() {
  return std::string(names::kEngineListKey) + std::string(names::kBackupSuffix);
}

std::string DisplayName(const std::string& name, const std::string& clsid) {
  Registry classes(HKEY_CLASSES_ROOT);
  std::string display;
  if (classes.OpenKey("\\CLSID\\" + clsid, false)) display = classes.ReadString("");
  if (display.empty()) display = name;
  for (const VendorMarker& vendor : kVendorMarkers)
    if (display == vendor.displayName) display += vendor.marker;
  return display;
}

void AddRows(Registry& reg, bool active, std::vector<EngineRow>& rows) {
  for (const std::string& name : reg.GetValueNames()) {
    if (reg.GetDataType(name) != platform::ValueType::String) continue;
    const std::string clsid = reg.ReadString(name);
    rows.push_back({DisplayName(name, clsid), clsid, name, active});
  }
}

}  // namespace

std::vector<EngineRow> ListEngines() {
  std::vector<EngineRow> rows;
  try {
    Registry reg(HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(names::kEngineListKey, false)) AddRows(reg, true, rows);
    if (reg.OpenKey(BackupKey(), true)) AddRows(reg, false, rows);
  } catch (const ERegistryException&) {
    // The rows read so far stand.
  }
  return rows;
}

void SetEngineActive(const EngineRow& row, bool active) {
  const std::string listKey(names::kEngineListKey);
  const std::string& to = active ? listKey : BackupKey();
  const std::string& from = active ? BackupKey() : listKey;
  try {
    Registry reg(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(to, true)) return;
    reg.WriteString(row.name, row.clsid);
    if (reg.OpenKey(from, false)) reg.DeleteValue(row.name);
  } catch (const ERegistryException&) {
    // Left as it is; the row shows the new state anyway.
  }
}

}  // namespace kv::installer
