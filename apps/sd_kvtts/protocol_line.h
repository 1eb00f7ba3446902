// Text the module echoes to the server (mark names, reasons in error replies) must stay one
// protocol line: the server splits its input at line feeds and takes a line whose fourth
// character is a space as the end of a reply, so a name holding a line feed could end a
// message early or answer the server's next command.
#pragma once

#include <string>
#include <string_view>

namespace kv::speechd {

// The text with every control character (line feed and carriage return among them) replaced
// by a space, so that it is one line and still reads as what it was.
std::string OneLine(std::string_view text);

}  // namespace kv::speechd
