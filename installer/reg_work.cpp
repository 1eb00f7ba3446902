#include "installer/reg_work.h"

namespace kv::installer {

using platform::ERegistryException;
using platform::Registry;

bool RegWriteBool(platform::RootKey root, std::string_view key, std::string_view name, bool value) {
  try {
    Registry reg(root);
    if (!reg.OpenKey(key, true)) return false;
    reg.WriteBool(name, value);
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

bool RegReadBool(platform::RootKey root, std::string_view key, std::string_view name,
                 bool defaultValue) {
  try {
    Registry reg(root);
    if (!reg.OpenKey(key, true) || !reg.ValueExists(name)) return defaultValue;
    return reg.ReadBool(name);
  } catch (const ERegistryException&) {
    return defaultValue;
  }
}

}  // namespace kv::installer
