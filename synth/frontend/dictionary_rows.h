// The built-in pronunciation rows, as UTF-8 text (converted to Windows-1250 and lower-cased
// when the list is built).
#pragma once

#include <array>
#include <string_view>

namespace kv::frontend {

extern const std::array<std::string_view, 122> kBuiltInRows;

}  // namespace kv::frontend
