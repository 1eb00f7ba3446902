// Text at the toolkit boundary: the system's Windows-1250 strings to Qt's strings and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace kv::dialogs {

QString ToQString(std::string_view cp1250);
// Characters the code page lacks become '?': for speaking and display only, never for what
// is stored (check with FindUnstorable first).
std::string FromQString(const QString& text);

// A message box with a text written here in UTF-8.
void TellUser(const std::string& utf8);

// A character of the user's text that Windows-1250 cannot hold, where the user sees it:
// 1-based line and column, a surrogate pair counted as the one character it is.
struct UnstorableCharacter {
  int line;
  int column;
  char32_t code;
};
std::vector<UnstorableCharacter> FindUnstorable(const QString& text);
// The places for a message (UTF-8): "řádek 2, znak 5 (U+2192)", the first few of them.
std::string DescribeUnstorable(const std::vector<UnstorableCharacter>& found);

}  // namespace kv::dialogs
