// Windows-1250 text: the system's internal character set. Conversion happens only at the
// boundaries (UTF-8 for terminals, user files and the GUI; UTF-16 for the W interfaces).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv::cp1250 {

// Unicode code point of one Windows-1250 byte. The five bytes the code page leaves undefined
// map to the C1 control of the same value, so every byte survives a round trip.
char32_t ToUnicode(unsigned char c);
// Windows-1250 byte for a code point, or nullopt when the code page has none.
std::optional<unsigned char> FromUnicode(char32_t cp);

std::string ToUtf8(std::string_view text);
// Decodes one UTF-8 sequence at text[i]; advances i. nullopt for an invalid sequence
// (i then moves past its first byte).
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& i);
// Strict: nullopt when the input is not valid UTF-8. Characters outside the code page
// become '?', as Windows does.
std::optional<std::string> FromUtf8(std::string_view utf8);
// Lenient: invalid sequences become '?'.
std::string FromUtf8Lenient(std::string_view utf8);

std::u16string ToUtf16(std::string_view text);
// Unpaired surrogates and characters outside the code page become '?'.
std::string FromUtf16(std::u16string_view text);

// Lower-casing exactly as Windows lower-cases code page 1250: ASCII capitals and every
// accented capital of the code page.
unsigned char ToLower(unsigned char c);
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
// Case-insensitive comparison under the same rules.
bool SameText(std::string_view a, std::string_view b);

}  // namespace kv::cp1250
