#include "synth/frontend/prosody.h"

#include <array>
#include <vector>

#include "platform/numeric.h"
#include "synth/frontend/letter_names.h"
#include "synth/frontend/prosody_tables.h"
#include "synth/frontend/random.h"
#include "synth/frontend/spelling.h"
#include "synth/frontend/text_util.h"
#include "synth/say_text.h"

namespace kv::frontend {
namespace {

// A rule with its letters in Windows-1250.
template <class V>
struct Rule {
  std::string units, prev_in, prev_not_in, next_in, next_not_in, unit_is;
  int8_t word_end, first;
  V value;
};

// The rules of a table in their order, filed under each unit character they name.
template <class V>
struct RuleIndex {
  std::vector<Rule<V>> rules;
  std::array<std::vector<size_t>, 256> by_unit;
};

template <class V>
RuleIndex<V> Convert(std::span<const UnitRule<V>> table) {
  RuleIndex<V> index;
  for (const UnitRule<V>& r : table) {
    index.rules.push_back({Cp(r.units), Cp(r.when.prev_in), Cp(r.when.prev_not_in),
                           Cp(r.when.next_in), Cp(r.when.next_not_in), Cp(r.when.unit_is),
                           r.when.word_end, r.when.first, r.value});
    for (char u : index.rules.back().units)
      index.by_unit[static_cast<unsigned char>(u)].push_back(index.rules.size() - 1);
  }
  return index;
}

struct Tables {
  RuleIndex<int> pause = Convert(kPauseRules);
  RuleIndex<int> duration = Convert(kDurationRules);
  RuleIndex<double> gain = Convert(kGainRules);
  RuleIndex<int> first_segment = Convert(kFirstSegmentRules);
  RuleIndex<int> dropped_segment = Convert(kDroppedSegmentRules);
  std::string pitch_vowels = Cp(kPitchVowels);
  std::string first_gain_except = Cp(kFirstEntryGainExceptLetters);
  std::string end_keep = Cp(kWordEndGainKeepUnits);
  std::string end_half = Cp(kWordEndGainHalfUnits);
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

// What the rules look at in one entry.
struct Context {
  char u;  // first character of the unit
  std::string_view unit, prev, next;
  bool word_end, first;
};

template <class V>
bool Matches(const Rule<V>& r, const Context& c) {
  if (!r.prev_in.empty() && !OneOf(c.prev, r.prev_in)) return false;
  if (!r.prev_not_in.empty() && OneOf(c.prev, r.prev_not_in)) return false;
  if (!r.next_in.empty() && !OneOf(c.next, r.next_in)) return false;
  if (!r.next_not_in.empty() && OneOf(c.next, r.next_not_in)) return false;
  if (r.word_end >= 0 && c.word_end != bool(r.word_end)) return false;
  if (r.first >= 0 && c.first != bool(r.first)) return false;
  if (!r.unit_is.empty() && c.unit != r.unit_is) return false;
  return true;
}

template <class V>
V Lookup(const RuleIndex<V>& index, const Context& c, V otherwise) {
  if (c.u == '\0') return otherwise;
  for (size_t i : index.by_unit[static_cast<unsigned char>(c.u)])
    if (Matches(index.rules[i], c)) return index.rules[i].value;
  return otherwise;
}

// random(2 * (x div 20)) + x * 19 / 20 and its integer variant: about 95 to 105 % of x.
int32_t JitterPause(int32_t p) {
  return RoundHalfEven32(Random(2 * (p / kJitterDivisor)) + double(p) * 19.0 / 20.0);
}
int32_t JitterDuration(int32_t d) {
  int64_t v = int64_t(Random(2 * (d / kJitterDivisor))) + int64_t(d / kJitterDivisor) * 19;
  return ClampToInt32(v);
}

}  // namespace

void ApplyProsody(TSayWord& word, int32_t current_speed, bool& new_utterance) {
  const Tables& t = T();
  const PitchLevels& lv = kPitchLevels;
  const int count = word.CharacterCount < kMaxEntries ? word.CharacterCount : kMaxEntries;

  // 1. A fresh seed for every word.
  Reseed();

  // 2. Sentence type: "?" wins over "!", "!" over ".".
  char mark = ' ';
  if (word.Text.find('.') != std::string::npos) mark = '.';
  if (word.Text.find('!') != std::string::npos) mark = '!';
  if (word.Text.find('?') != std::string::npos) mark = '?';
  if (mark != ' ') {
    int level = mark == '?' ? Random(lv.question_span) + lv.question_base
                            : Random(lv.statement_span) + lv.statement_base;
    if (level == lv.remap_from_a) level = lv.remap_to_a;
    if (level == lv.remap_from_b) level = lv.remap_to_b;
    word.PitchLevel = level;
    new_utterance = true;
  } else {
    if (new_utterance || word.Text.find(',') != std::string::npos)
      word.PitchLevel = Random(lv.phrase_span) + lv.phrase_base;
    else
      word.PitchLevel = lv.plain;
    new_utterance = false;
  }

  // 3. Glide step (a speed of 0 leaves it at 0 rather than dividing by it).
  word.PitchStep = current_speed != 0 ? 0.1 / current_speed : 0.0;

  // 4. Pitch targets.
  int vowels = 0;
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    if (OneOf(e.Letter.View(), t.pitch_vowels)) ++vowels;
    const int32_t prev_target = k > 1 ? word.Characters[k - 1].TargetPitch : 0;
    if (e.Tone != 0) {
      if (e.Tone >= -12 && e.Tone <= 12) {
        e.PitchShift = kToneShiftTable[size_t(e.Tone + 12)];
        e.FinalPitch = kToneShiftTable2[size_t(e.Tone + 12)];
      }
    } else if (vowels < 2) {
      e.TargetPitch = RoundHalfEven32(word.PitchLevel);
    } else if (vowels == 2) {
      if (mark == '.')
        e.TargetPitch = prev_target - lv.second_vowel_statement_step;
      else if (mark == '?')
        e.TargetPitch = lv.second_vowel_question;
      else
        e.TargetPitch = RoundHalfEven32(word.PitchLevel + Random(2 * lv.second_vowel_jitter) -
                                        lv.second_vowel_jitter);
      word.PitchStep = current_speed;
    } else {
      e.TargetPitch = prev_target - 1 > lv.walk_floor ? prev_target - 1 : prev_target + 1;
      word.PitchStep = current_speed;
    }
  }

  // 5. Backslashes in the neighbour letters read as "~".
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    if (e.PrevLetter.View().find('\\') != std::string_view::npos) e.PrevLetter = "~";
    if (e.NextLetter.View().find('\\') != std::string_view::npos) e.NextLetter = "~";
  }

  // 6. Unit substitution.
  SubstituteUnits(word);

  auto context = [&](int k) {
    const TCharacter& e = word.Characters[k];
    std::string_view next = e.NextLetter.View();
    return Context{e.Unit.First(), e.Unit.View(),         e.PrevLetter.View(),
                   next,           OneOf(next, kWordEnd), k == 1};
  };

  // 7. Pause before the unit.
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    int32_t pause = k == 1 ? 0 : Lookup(t.pause, context(k), 0);
    e.PauseBefore = pause != 0 ? JitterPause(pause) : 0;
  }

  // 8. Duration, by the entry's speed, with jitter.
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    double base = Lookup(t.duration, context(k), kDefaultDuration);
    int32_t d = RoundHalfEven32(base * e.Speed / 100.0);
    e.Duration = d != 0 ? JitterDuration(d) : 0;
  }

  // 9. Gain.
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    const Context c = context(k);
    double gain = Lookup(t.gain, c, kDefaultGain);
    if (c.first && !c.word_end && !OneOf(e.Letter.View(), t.first_gain_except))
      gain *= kFirstEntryGain;
    if (c.word_end) {
      const bool keep = c.u != '\0' && t.end_keep.find(c.u) != std::string::npos;
      const bool half = c.u != '\0' && t.end_half.find(c.u) != std::string::npos;
      if (half)
        gain *= kWordEndGainHalf;
      else if (!keep)
        gain *= kWordEndGain;
    }
    e.Gain = gain;
  }

  // 10. Segments skipped at the start and dropped at the end.
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    const Context c = context(k);
    e.FirstSegment = Lookup(t.first_segment, c, 0);
    e.DroppedSegments = Lookup(t.dropped_segment, c, 0);
  }

  // 11. Global speed over durations and pauses.
  for (int k = 1; k <= count; ++k) {
    TCharacter& e = word.Characters[k];
    e.Duration = RoundHalfEven32(double(e.Duration) * current_speed / 100.0);
    e.PauseBefore = RoundHalfEven32(double(e.PauseBefore) * current_speed / 100.0);
  }
}

}  // namespace kv::frontend
