#include "apps/kvtts/input_text.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/cp1250.h"
#include "platform/files.h"

namespace kv::apps {

std::optional<std::string> ReadInput(const std::string& path, std::string* error) {
  const int fd = path.empty() ? STDIN_FILENO : platform::OpenForReading(path);
  const std::string name = path.empty() ? std::string("standard input") : "'" + path + "'";
  auto fail = [&](int code) -> std::optional<std::string> {
    *error = "cannot read " + name + ": " + std::strerror(code);
    if (fd >= 0 && !path.empty()) ::close(fd);
    return std::nullopt;
  };
  if (fd < 0) return fail(errno);
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);  // a folder says so here (EISDIR)
    if (n == 0) break;
    text.append(buffer, size_t(n));
  }
  if (!path.empty()) ::close(fd);
  return text;
}

std::optional<SpeakableText> Speakable(std::string_view utf8, size_t* badAt) {
  SpeakableText out;
  out.utf8.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t at = i;
    const std::optional<char32_t> c = cp1250::DecodeUtf8(utf8, i);
    if (!c) {
      *badAt = at;
      return std::nullopt;
    }
    if (*c == 0xFEFF) continue;  // a byte-order mark says nothing
    if (!cp1250::FromUnicode(*c)) {
      if (out.leftOut++ == 0) {
        out.firstLeftOutAt = at;
        out.firstLeftOut = *c;
      }
      continue;
    }
    out.utf8.append(utf8.substr(at, i - at));
  }
  return out;
}

bool Blank(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) > 32) return false;
  return true;
}

}  // namespace kv::apps
