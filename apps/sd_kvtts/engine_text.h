// What the server sends, turned into the engine's text: Windows-1250, with our inline tags only
// where this module puts them.
//
// Message bodies are SSML. Elements other than <mark/> are dropped (a few that separate words
// leave a space), entities are decoded, and every <mark name="…"/> becomes the bookmark tag
// \mrk=N\ in front of the next word, N from MarkNumber. The text the user wrote can carry no
// tag: a backslash or a brace, which would open one in the front-end, is spoken by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::speechd {

struct EngineText {
  std::string text;                // Windows-1250
  std::vector<std::string> marks;  // mark names (UTF-8), in text order
};

// The bookmark number of the mark with this index in its message. The numbers lie where the
// engine reports them as plain bookmarks (between its end-of-text mark and its word
// positions); a message with more marks than the range holds reuses numbers in order.
uint32_t MarkNumber(size_t index);
bool IsMarkNumber(uint32_t number);

// spell: every letter is spoken by its name (spelling mode).
EngineText FromSsml(std::string_view utf8, bool spell = false);

// The body of a CHAR or KEY message: one character, or an SSIP key name such as "shift_a".
std::string CharacterText(std::string_view utf8);
std::string KeyText(std::string_view utf8);

// The text with every character replaced by its letter name (Windows-1250 in and out).
std::string SpellOut(std::string_view text);
// The text with backslashes and braces spoken by their names (Windows-1250 in and out).
std::string Neutralise(std::string_view text);

}  // namespace kv::speechd
