// Intonation and rhythm as data: tone shifts, pitch levels, and the pause, duration, gain and
// segment rules by unit. Letters are UTF-8 text, converted to Windows-1250 once by prosody.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kv::frontend {

// Tone shifts by tone -12..12 (index tone + 12).
extern const std::array<int16_t, 25> kToneShiftTable;   // -> PitchShift
extern const std::array<int16_t, 25> kToneShiftTable2;  // -> FinalPitch

// Word pitch levels by sentence type.
struct PitchLevels {
  int statement_base, statement_span;  // "." or "!": random(span) + base
  int question_base, question_span;    // "?"
  int remap_from_a, remap_to_a;        // a statement level of exactly 22 becomes -60
  int remap_from_b, remap_to_b;        // and 23 becomes -45
  int plain;                           // inside a sentence
  int phrase_base, phrase_span;        // first word of a sentence, or a word with ","
  int second_vowel_question;           // target of the second vowel in a question
  int second_vowel_statement_step;     // statement: previous target minus this
  int second_vowel_jitter;             // other words: level + random(2 * j) - j
  int walk_floor;                      // later vowels walk toward this level
};
extern const PitchLevels kPitchLevels;

// Characters whose presence as the next letter puts an entry at a word end.
extern const std::string_view kWordEnd;
inline constexpr int kJitterDivisor = 20;

// A condition on an entry's neighbours; empty members do not constrain.
struct Cond {
  std::string_view prev_in = {};      // previous letter is one of these characters
  std::string_view prev_not_in = {};  // previous letter is none of these
  std::string_view next_in = {};
  std::string_view next_not_in = {};
  int8_t word_end = -1;           // 1: at a word end, 0: not at a word end
  int8_t first = -1;              // 1: the word's first entry, 0: any later entry
  std::string_view unit_is = {};  // the whole unit name equals this
};

// A rule for the units whose first character is one of `units`: the first rule that matches
// an entry gives its value.
template <class V>
struct UnitRule {
  std::string_view units;
  Cond when;
  V value;
};

extern const std::span<const UnitRule<int>> kPauseRules;     // ms before the unit
extern const std::span<const UnitRule<int>> kDurationRules;  // ms
extern const int kDefaultDuration;
extern const std::span<const UnitRule<double>> kGainRules;
extern const double kDefaultGain;
extern const std::span<const UnitRule<int>> kFirstSegmentRules;
extern const std::span<const UnitRule<int>> kDroppedSegmentRules;

// Gain of the word's first entry (not at a word end, letter not one of the exceptions).
inline constexpr double kFirstEntryGain = 1.25;
extern const std::string_view kFirstEntryGainExceptLetters;
// Gain at a word end: most units 0.8; these keep theirs; these are halved.
inline constexpr double kWordEndGain = 0.8;
inline constexpr double kWordEndGainHalf = 0.5;
extern const std::string_view kWordEndGainKeepUnits;
extern const std::string_view kWordEndGainHalfUnits;

}  // namespace kv::frontend
