// JSON text for the programs' machine-readable output.
#pragma once

#include <string>
#include <string_view>

namespace kv::platform {

// A JSON string literal (quotes included) of Windows-1250 text, written as UTF-8 with the
// escapes JSON requires.
std::string JsonString(std::string_view cp1250Text);

}  // namespace kv::platform
