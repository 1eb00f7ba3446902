#include "dialogs/qt/qt_text.h"

#include "platform/cp1250.h"
#include "platform/message_box.h"

namespace kv::dialogs {

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

std::u16string ToUtf16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}

std::vector<UnstorableCharacter> FindUnstorable(const QString& text) {
  return FindUnstorable(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
}

}  // namespace kv::dialogs
