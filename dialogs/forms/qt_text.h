// Text at the toolkit boundary: the system's Windows-1250 strings to Qt's strings and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kv::dialogs {

QString ToQString(std::string_view cp1250);
// Characters the code page lacks become '?'.
std::string FromQString(const QString& text);

}  // namespace kv::dialogs
