// Boolean preferences in the registry, stored as DWORD 0 or 1.
#pragma once

#include <string_view>

#include "platform/registry.h"

namespace kv::installer {

// Opens key under root (creating it if missing) and writes name. False when the key cannot
// be opened or written.
bool RegWriteBool(platform::RootKey root, std::string_view key, std::string_view name, bool value);
// Opens key under root (creating it if missing): the stored value (non-zero is true) when
// there is one, otherwise defaultValue. A value of another type also reads as defaultValue.
bool RegReadBool(platform::RootKey root, std::string_view key, std::string_view name,
                 bool defaultValue);

}  // namespace kv::installer
