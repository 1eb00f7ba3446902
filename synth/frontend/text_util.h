// Small helpers of the front-end on Windows-1250 text held in std::string.
#pragma once

#include <string>
#include <string_view>

namespace kv::frontend {

// Windows-1250 bytes of a UTF-8 literal. The front-end's tables are written in UTF-8 source
// and converted once, when first used, with this function.
std::string Cp(std::string_view utf8);

// Characters below 33 (spaces, line breaks, control characters) count as blank.
inline bool IsBlank(char c) {
  return static_cast<unsigned char>(c) < 33;
}
std::string_view Trim(std::string_view s);
inline bool IsBlankText(std::string_view s) {
  return Trim(s).empty();
}

// The character at 1-based position i, or empty outside 1..size.
inline std::string_view CharAt(std::string_view s, long i) {
  if (i < 1 || i > long(s.size())) return {};
  return s.substr(size_t(i - 1), 1);
}

// True when the one-character string c is one of the characters of set.
inline bool OneOf(std::string_view c, std::string_view set) {
  return c.size() == 1 && set.find(c[0]) != std::string_view::npos;
}

}  // namespace kv::frontend
