#include "synth/frontend/replace_all.h"

namespace kv::frontend {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty() || from == to || to.find(from) != std::string_view::npos) return text;
  // No occurrence can start before `start`: everything before it was searched already, and a
  // replacement can only create a new occurrence that overlaps the inserted text.
  size_t start = 0;
  for (size_t count = 0; count < kReplaceAllLimit; ++count) {
    size_t at = text.find(from, start);
    if (at == std::string::npos) break;
    if (to.size() > from.size() && text.size() + (to.size() - from.size()) > kReplaceAllLimit)
      break;
    text.replace(at, from.size(), to);
    start = at >= from.size() - 1 ? at - (from.size() - 1) : 0;
  }
  return text;
}

}  // namespace kv::frontend
