// The text kvtts speaks: read from a file or standard input (a folder or an unreadable file is
// a message, never an exception), and taken from UTF-8 to what the voice can say.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kv::apps {

// The whole file (empty path: standard input); nothing with the reason in *error.
std::optional<std::string> ReadInput(const std::string& path, std::string* error);

struct SpeakableText {
  std::string utf8;  // without byte-order marks and the characters left out
  // Characters the voice's code page lacks (emoji, CJK...): left out, not read as "?".
  size_t leftOut = 0;
  size_t firstLeftOutAt = 0;  // byte offset in the input
  char32_t firstLeftOut = 0;
};

// Nothing when the input is not UTF-8, with the byte offset of the first bad byte in *badAt.
std::optional<SpeakableText> Speakable(std::string_view utf8, size_t* badAt);

// Whether the text holds nothing but blanks (so no word would be spoken).
bool Blank(std::string_view text);

}  // namespace kv::apps
