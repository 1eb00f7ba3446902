// Czech letter names and the unit substitution table, as UTF-8 text (converted once).
#pragma once

#include <array>
#include <string_view>
#include <utility>

namespace kv::frontend {

// Letter -> name. Letters not listed are their own name.
extern const std::array<std::pair<std::string_view, std::string_view>, 32> kLetterNames;
// The name of the digraph, used for any input of two or more characters.
extern const std::string_view kDigraphName;
// The vowel class of the spelling decision.
extern const std::string_view kVowels;
// Letters counted as vowels by the pitch targets of intonation (ě is not among them).
extern const std::string_view kPitchVowels;

// Unit substitution: the first row whose letter and condition match sets the entry's unit.
struct SubstitutionRow {
  std::string_view letter;
  std::string_view next;  // the next letter is one of these characters; empty: always
  bool not_first;         // only when the entry is not the word's first
  std::string_view unit;
};
extern const std::array<SubstitutionRow, 16> kSubstitutions;

}  // namespace kv::frontend
