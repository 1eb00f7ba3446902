#include "dialogs/forms/qt_text.h"

#include <cstdio>

#include "platform/cp1250.h"
#include "platform/message_box.h"

namespace kv::dialogs {

namespace {

constexpr size_t kPlacesTold = 5;

}  // namespace

QString ToQString(std::string_view cp1250) {
  const std::u16string utf16 = cp1250::ToUtf16(cp1250);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

std::string FromQString(const QString& text) {
  return cp1250::FromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

void TellUser(const std::string& utf8) {
  platform::ShowMessage(cp1250::FromUtf8Lenient(utf8));
}

std::vector<UnstorableCharacter> FindUnstorable(const QString& text) {
  std::vector<UnstorableCharacter> found;
  int line = 1;
  int column = 1;
  for (qsizetype i = 0; i < text.size(); ++i, ++column) {
    char32_t code = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    if (code == U'\n') {
      ++line;
      column = 0;
    } else if (QChar::isSurrogate(code) || !cp1250::FromUnicode(code)) {
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
