#include "synth/frontend/replace_all.h"

#include <algorithm>

namespace kv::frontend {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty() || from == to || to.find(from) != std::string_view::npos) return text;
  if (text.find(from) == std::string::npos) return text;

  // The text is read from the front of `input`, kept reversed so that taking a character
  // and putting text back in front are both cheap. `out` holds the characters known to
  // start no occurrence. A replacement puts `to` back in front of the input, together with
  // the last characters of `out` that could begin an occurrence reaching into it; so the
  // first occurrence from the start is always the one replaced, as with a fresh search.
  std::string input(text.rbegin(), text.rend());
  std::string out;
  out.reserve(text.size());
  const size_t m = from.size();
  size_t replacements = 0;
  auto starts_here = [&] {
    if (input.size() < m) return false;
    for (size_t j = 0; j < m; ++j)
      if (input[input.size() - 1 - j] != from[j]) return false;
    return true;
  };
  while (!input.empty()) {
    const bool room = replacements < kReplaceAllLimit &&
                      out.size() + input.size() + to.size() <= kReplaceAllLimit + m;
    if (room && starts_here()) {
      input.resize(input.size() - m);
      input.append(to.rbegin(), to.rend());
      size_t back = std::min(m - 1, out.size());
      input.append(out.rbegin(), out.rbegin() + long(back));
      out.resize(out.size() - back);
      ++replacements;
    } else {
      out.push_back(input.back());
      input.pop_back();
    }
  }
  return out;
}

}  // namespace kv::frontend
