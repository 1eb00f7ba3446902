#include "apps/kvtts/trace.h"

#include <charconv>
#include <cstdio>

#include "platform/cp1250.h"
#include "platform/json.h"
#include "synth/say_text.h"

namespace kv::apps {
namespace {

void Str(std::string& out, std::string_view cp) {
  out += platform::JsonString(cp);
}

void Num(std::string& out, double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void Num(std::string& out, long long v) {
  out += std::to_string(v);
}

template <class Marks>
void MarkList(std::string& out, const Marks& marks) {
  out += '[';
  bool first = true;
  for (int32_t m : marks) {
    if (m == 0) continue;
    if (!first) out += ',';
    first = false;
    out += std::to_string(m);
  }
  out += ']';
}

}  // namespace

std::string TraceLine(const std::string& word, const TSayWord& slot) {
  std::string out = "{\"word\":";
  Str(out, word);
  out += ",\"text\":";
  Str(out, slot.Text);
  out += ",\"pitch_level\":";
  Num(out, slot.PitchLevel);
  out += ",\"pitch_step\":";
  Num(out, slot.PitchStep);
  out += ",\"entries\":[";
  const int count = slot.CharacterCount < kMaxEntries ? slot.CharacterCount : kMaxEntries;
  for (int k = 1; k <= count; ++k) {
    const TCharacter& e = slot.Characters[k];
    if (k > 1) out += ',';
    const std::pair<const char*, const Str2*> letters[] = {
        {"letter", &e.Letter},   {"grapheme", &e.Grapheme}, {"unit", &e.Unit},
        {"prev", &e.PrevLetter}, {"next", &e.NextLetter},   {"first", &e.FirstLetter},
        {"last", &e.LastLetter}};
    char sep = '{';
    for (const auto& [name, value] : letters) {
      out += sep;
      sep = ',';
      out += '"';
      out += name;
      out += "\":";
      Str(out, value->View());
    }
    const std::pair<const char*, long long> ints[] = {{"pause", e.PauseBefore},
                                                      {"duration", e.Duration},
                                                      {"gain", 0},
                                                      {"loudness", e.Loudness},
                                                      {"span", e.Span},
                                                      {"tone", e.Tone},
                                                      {"speed", e.Speed},
                                                      {"target_pitch", e.TargetPitch},
                                                      {"pitch_shift", e.PitchShift},
                                                      {"final_pitch", e.FinalPitch},
                                                      {"first_segment", e.FirstSegment},
                                                      {"dropped_segments", e.DroppedSegments}};
    for (const auto& [name, value] : ints) {
      out += ",\"";
      out += name;
      out += "\":";
      if (std::string_view(name) == "gain")
        Num(out, e.Gain);
      else
        Num(out, value);
    }
    out += ",\"marks_before\":";
    MarkList(out, e.MarksBefore);
    out += ",\"marks_after\":";
    MarkList(out, e.MarksAfter);
    out += '}';
  }
  out += "]}";
  return out;
}

}  // namespace kv::apps
