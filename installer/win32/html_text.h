// The readable text of an HTML page, for showing the info page without a browser control:
// tags removed, paragraphs and line breaks as new lines, the common character references read.
#pragma once

#include <string>

namespace kv::installer {

std::string HtmlText(const std::string& html);

}  // namespace kv::installer
