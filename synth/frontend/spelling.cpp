#include "synth/frontend/spelling.h"

#include <array>
#include <vector>

#include "platform/cp1250.h"
#include "synth/frontend/letter_names.h"
#include "synth/frontend/text_util.h"
#include "synth/say_text.h"

namespace kv::frontend {
namespace {

struct Tables {
  std::array<std::string, 256> names;  // by lower-cased byte; empty: its own name
  std::string digraph, vowels, end_marker;
  struct Row {
    std::string letter, next, unit;
    bool not_first;
  };
  std::vector<Row> substitutions;
  Tables() {
    for (const auto& [letter, name] : kLetterNames)
      names[static_cast<unsigned char>(Cp(letter)[0])] = Cp(name);
    digraph = Cp(kDigraphName);
    vowels = Cp(kVowels);
    for (const SubstitutionRow& r : kSubstitutions)
      substitutions.push_back({Cp(r.letter), Cp(r.next), Cp(r.unit), r.not_first});
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

// Skips leading tags as the tag split does: a backslash up to the next backslash within the
// following 100 characters, or a lone backslash.
size_t SkipTags(std::string_view s, size_t i) {
  while (i < s.size() && s[i] == '\\') {
    size_t close = s.substr(i + 1, 100).find('\\');
    i = close == std::string_view::npos ? i + 1 : i + 1 + close + 1;
  }
  return i;
}

}  // namespace

std::string LetterName(std::string_view text) {
  if (text.size() >= 2) return T().digraph;
  if (text.empty()) return {};
  const std::string& name = T().names[cp1250::ToLower(static_cast<unsigned char>(text[0]))];
  return name.empty() ? std::string(text) : name;
}

bool HasVowel(std::string_view text) {
  return text.find_first_of(T().vowels) != std::string_view::npos;
}

std::string NextText(std::string_view rest) {
  std::string_view t = Trim(rest);
  t = t.substr(SkipTags(t, 0));
  size_t bs = t.find('\\');
  if (bs != std::string_view::npos) t = t.substr(0, bs);
  t = Trim(t);
  if (t == kEndMarker) return {};
  return std::string(t);
}

bool NextTextIsEmpty(std::string_view rest) {
  size_t i = 0;
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  i = SkipTags(rest, i);
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  if (i >= rest.size() || rest[i] == '\\') return true;
  // Something follows, unless it is the end marker alone.
  if (rest.substr(i, kEndMarker.size()) != kEndMarker) return false;
  for (size_t j = i + kEndMarker.size(); j < rest.size() && rest[j] != '\\'; ++j)
    if (!IsBlank(rest[j])) return false;
  return true;
}

void ApplySpelling(std::string& word_part, bool last_word) {
  std::string_view t = Trim(word_part);
  if (t.size() == 1) {
    if (last_word || t == "j") word_part = LetterName(t) + "_";
    return;
  }
  if (t.size() == 2 && (t[1] == '.' || t[1] == ')' || t[1] == '-')) {
    word_part = LetterName(t.substr(0, 1)) + "._";
    return;
  }
  if (t.size() >= 2 && (t == "ok" || !HasVowel(t))) {
    std::string spelled;
    for (char c : word_part) spelled += LetterName(std::string_view(&c, 1));
    word_part = std::move(spelled);
  }
}

void SubstituteUnits(TSayWord& word) {
  const int count = word.CharacterCount < kMaxEntries ? word.CharacterCount : kMaxEntries;
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    for (const Tables::Row& row : T().substitutions) {
      if (e.Letter.View() != row.letter) continue;
      if (row.not_first && k == 1) continue;
      if (!row.next.empty() && !OneOf(e.NextLetter.View(), row.next)) continue;
      e.Unit = row.unit;
      break;
    }
  }
}

}  // namespace kv::frontend
