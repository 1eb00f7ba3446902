// Text at the toolkit boundary: the system's Windows-1250 strings to Qt's strings and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/logic/unstorable_text.h"

namespace kv::dialogs {

QString ToQString(std::string_view cp1250);
// Characters the code page lacks become '?': for speaking and display only, never for what
// is stored (check with FindUnstorable first).
std::string FromQString(const QString& text);

// A message box with a text written here in UTF-8.
void TellUser(const std::string& utf8);

// The characters of the user's text that Windows-1250 cannot hold.
std::vector<UnstorableCharacter> FindUnstorable(const QString& text);
// The toolkit's text as UTF-16, as the form logic takes it.
std::u16string ToUtf16(const QString& text);

}  // namespace kv::dialogs
