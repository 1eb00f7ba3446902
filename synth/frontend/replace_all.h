// Repeated replacement of a substring, as the dictionary and the digit pass use it.
#pragma once

#include <string>
#include <string_view>

namespace kv::frontend {

// Replaces every occurrence of `from` by `to`, again and again from the start of the text,
// until none is left (so an occurrence formed across the inserted text and its neighbours is
// replaced too). Does nothing when `from` is empty, equals `to`, or occurs in `to`. Exact,
// case-sensitive matching.
//
// A guard keeps rewriting rules that would never settle from running away: the text never
// grows past kReplaceAllLimit bytes and at most that many replacements are made.
inline constexpr size_t kReplaceAllLimit = 1 << 20;
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace kv::frontend
