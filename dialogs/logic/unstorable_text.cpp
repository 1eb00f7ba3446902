#include "dialogs/logic/unstorable_text.h"

#include <cstdio>

#include "platform/cp1250.h"

namespace kv::dialogs {

namespace {

constexpr size_t kPlacesTold = 5;

bool IsHigh(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

std::vector<UnstorableCharacter> FindUnstorable(std::u16string_view text) {
  std::vector<UnstorableCharacter> found;
  int line = 1;
  int column = 1;
  for (size_t i = 0; i < text.size(); ++i, ++column) {
    char32_t code = text[i];
    if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
      code = 0x10000 + ((char32_t(text[i]) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
      ++i;
    }
    if (code == U'\n') {
      ++line;
      column = 0;
    } else if ((code >= 0xD800 && code <= 0xDFFF) || !cp1250::FromUnicode(code)) {
      found.push_back({line, column, code});
    }
  }
  return found;
}

std::string DescribeUnstorable(const std::vector<UnstorableCharacter>& found) {
  std::string places;
  for (size_t i = 0; i < found.size() && i < kPlacesTold; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(found[i].code));
    if (i > 0) places += "; ";
    places += "řádek " + std::to_string(found[i].line) + ", znak " +
              std::to_string(found[i].column) + " (" + code + ")";
  }
  if (found.size() > kPlacesTold)
    places += " a další (celkem " + std::to_string(found.size()) + ")";
  return places;
}

}  // namespace kv::dialogs
