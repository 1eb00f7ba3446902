// Helpers of the front-end tests: UTF-8 in the test source, Windows-1250 inside.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/cp1250.h"
#include "synth/say_text.h"

namespace kv::test {

inline std::string Cp(std::string_view utf8) {
  return cp1250::FromUtf8Lenient(utf8);
}
inline std::string U8(std::string_view cp) {
  return cp1250::ToUtf8(cp);
}

// Letters (or units) of the entries of a word slot, joined, as UTF-8.
inline std::string Letters(const TSayWord& w) {
  std::string s;
  for (int k = 1; k <= w.CharacterCount; ++k) s += w.Characters[k].Letter.Str();
  return U8(s);
}
inline std::vector<std::string> Units(const TSayWord& w) {
  std::vector<std::string> u;
  for (int k = 1; k <= w.CharacterCount; ++k) u.push_back(U8(w.Characters[k].Unit.Str()));
  return u;
}

// A synthesizer that only runs the front-end (no assembly), speaking a UTF-8 text word by
// word into alternating slots.
struct FrontEnd {
  TSayText t{1};
  FrontEnd() { t.EngineMode = true; }
  // Feeds a new text as Say would (without playing it).
  void Feed(std::string_view utf8) {
    t.PendingText = Cp(utf8);
    t.NewUtterance = true;
  }
  // One word into the next slot; returns that slot.
  const TSayWord& Step() {
    t.CurrentSlot = t.CurrentSlot == 1 ? 2 : 1;
    t.SpeakStep();
    return t.Words[t.CurrentSlot];
  }
  bool Ended() const { return t.PendingText.empty() || t.PendingText == kEndMarker; }
  // Every word of a text, at most `cap` of them.
  std::vector<TSayWord> SpeakAll(std::string_view utf8, size_t cap = 100000) {
    Feed(utf8);
    std::vector<TSayWord> words;
    while (!Ended() && words.size() < cap) words.push_back(Step());
    return words;
  }
};

}  // namespace kv::test
