// What the server sends, turned into the engine's text: Windows-1250, with our inline tags only
// where this module puts them.
//
// Message bodies are SSML. Entities are decoded, and every <mark name="…"/> becomes the
// bookmark tag \mrk=N\ in front of the next word, N from MarkNumber. <sub alias="…"> speaks
// its alias instead of its content, <say-as interpret-as="characters"> (or "spell-out",
// "letters") spells its content; other elements are dropped (a few that separate words leave
// a space). The text the user wrote can carry no tag: a backslash or a brace, which would open
// one in the front-end, is spoken by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apps/sd_kvtts/punctuation.h"

namespace kv::speechd {

// How a spelled capital letter is told from a small one: not at all, by the word "velké" in
// front of its name, or by its name at a raised pitch (the module has no sound icons to play).
enum class Capitals { None, Spell, Icon };
// "none", "spell", "icon"; anything else reads as None.
Capitals CapitalsFromName(std::string_view name);

// In spelled text, the name of a capital letter stands between these two bytes in Icon mode;
// the caller puts the pitch tags there, as it knows the pitch of the message. User text never
// holds them (its control characters are read as spaces).
inline constexpr char kRaiseMark = '\x01', kLowerMark = '\x02';

struct TextOptions {
  bool spell = false;  // spelling mode: every letter is spoken by its name
  Punctuation punctuation = Punctuation::None;
  Capitals capitals = Capitals::None;
};

struct EngineText {
  std::string text;                // Windows-1250
  std::vector<std::string> marks;  // mark names (UTF-8), in text order
};

// The bookmark number of the mark with this index in its message. The numbers lie where the
// engine reports them as plain bookmarks (between its end-of-text mark and its word
// positions); a message with more marks than the range holds reuses numbers in order.
uint32_t MarkNumber(size_t index);
bool IsMarkNumber(uint32_t number);

EngineText FromSsml(std::string_view utf8, const TextOptions& options = {});

// The body of a CHAR or KEY message: one character (a punctuation character is named in every
// mode), or an SSIP key name such as "shift_a".
std::string CharacterText(std::string_view utf8, Capitals capitals = Capitals::None);
std::string KeyText(std::string_view utf8);

// The text with every character replaced by its letter name (Windows-1250 in and out).
std::string SpellOut(std::string_view text, Capitals capitals = Capitals::None);
// The text with backslashes and braces spoken by their names (Windows-1250 in and out).
std::string Neutralise(std::string_view text);

}  // namespace kv::speechd
