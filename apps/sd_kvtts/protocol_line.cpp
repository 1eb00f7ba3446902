#include "apps/sd_kvtts/protocol_line.h"

namespace kv::speechd {

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return line;
}

}  // namespace kv::speechd
