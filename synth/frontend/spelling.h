// Letters treated as letters: the spelling decision with Czech letter names, and the unit
// substitution that adapts an entry's unit to its neighbour.
#pragma once

#include <string>
#include <string_view>

namespace kv {
struct TSayWord;
}

namespace kv::frontend {

// The Czech name of one letter (looked up lower-cased); a character without a name of its
// own is returned unchanged; two or more characters are named as the digraph ch.
std::string LetterName(std::string_view text);
// True when the text holds a letter of the vowel class.
bool HasVowel(std::string_view text);
// What follows in the pending text: trimmed, leading tags skipped, cut at the next
// backslash, trimmed again; empty when that is the end marker.
std::string NextText(std::string_view rest);
// NextText(rest).empty(), without reading further into the text than needed.
bool NextTextIsEmpty(std::string_view rest);

// The spelling decision on a word part. `last_word`: nothing follows it in the text.
void ApplySpelling(std::string& word_part, bool last_word);

// Unit substitution over the entries of a word slot (neighbours read from NextLetter).
void SubstituteUnits(TSayWord& word);

}  // namespace kv::frontend
