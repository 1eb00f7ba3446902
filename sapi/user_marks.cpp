#include "sapi/user_marks.h"

#include "platform/numeric.h"
#include "synth/frontend/tags.h"

namespace kv::sapi {

std::map<DWORD, int> UserMarks(std::string_view text) {
  std::map<DWORD, int> marks;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') continue;
    const frontend::ParsedTag tag = frontend::ParseTag(text.substr(i + 1), '\\');
    if (tag.name.empty()) continue;
    if (tag.name == "mrk") {
      try {
        // The engine passes the tag's 32-bit value on as the mark's unsigned number.
        if (const int32_t value = StrToIntLenient(tag.value); value != 0)
          ++marks[static_cast<DWORD>(value)];
      } catch (const EConvertError&) {
      }
    }
    i += tag.name.size() + (tag.value.empty() ? 0 : tag.value.size() + 1) + 1;
  }
  return marks;
}

}  // namespace kv::sapi
