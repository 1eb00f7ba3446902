#include "platform/json.h"

#include <cstdio>

#include "platform/cp1250.h"

namespace kv::platform {

std::string JsonString(std::string_view cp1250Text) {
  std::string out = "\"";
  for (unsigned char c : cp1250::ToUtf8(cp1250Text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
          out += buf;
        } else {
          out += char(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace kv::platform
