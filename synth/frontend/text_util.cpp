#include "synth/frontend/text_util.h"

#include "platform/cp1250.h"

namespace kv::frontend {

std::string Cp(std::string_view utf8) {
  return cp1250::FromUtf8Lenient(utf8);
}

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace kv::frontend
