// The names of the registry roots, the same on every system.
#include "platform/cp1250.h"
#include "platform/registry.h"

namespace kv::platform {

std::string_view RootKeyName(RootKey root) {
  switch (root) {
    case RootKey::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RootKey::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RootKey::CurrentUser:
      return "HKEY_CURRENT_USER";
  }
  return "";
}

std::optional<RootKey> RootKeyFromName(std::string_view name) {
  const std::string upper = cp1250::UpperCase(name);
  if (upper == "HKEY_LOCAL_MACHINE" || upper == "HKLM") return RootKey::LocalMachine;
  if (upper == "HKEY_CLASSES_ROOT" || upper == "HKCR") return RootKey::ClassesRoot;
  if (upper == "HKEY_CURRENT_USER" || upper == "HKCU") return RootKey::CurrentUser;
  return std::nullopt;
}

}  // namespace kv::platform
