#include "dialogs/forms/qt_text.h"

#include "platform/cp1250.h"

namespace kv::dialogs {

QString ToQString(std::string_view cp1250) {
  const std::u16string utf16 = cp1250::ToUtf16(cp1250);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

std::string FromQString(const QString& text) {
  return cp1250::FromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

}  // namespace kv::dialogs
