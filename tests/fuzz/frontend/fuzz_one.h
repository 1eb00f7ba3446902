// One fuzz input through the front-end: the bytes after a "\xFF\xFF" separator (or all of
// them) are the text, the bytes before it a dictionary file. Inputs of odd length also
// assemble every word. Shared by the libFuzzer target
// and the regression test that replays kept inputs.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/cp1250.h"
#include "synth/say_text.h"

namespace kv::test {

inline TSayText& FuzzSynth() {
  static TSayText* synth = [] {
    return new TSayText(1);
  }();
  return *synth;
}

inline void FuzzOne(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TSayText& t = FuzzSynth();
  t.UserDictionary.clear();
  size_t sep = bytes.find("\xFF\xFF");
  if (sep != std::string_view::npos) {
    std::string_view dict = bytes.substr(0, sep);
    bytes = bytes.substr(sep + 2);
    size_t start = 0;
    for (size_t i = 0; i <= dict.size(); ++i) {
      if (i == dict.size() || dict[i] == '\n') {
        t.UserDictionary.push_back(cp1250::LowerCase(dict.substr(start, i - start)));
        start = i + 1;
      }
    }
  }
  t.CurrentTone = 0;
  t.CurrentSpeed = 100;
  t.CurrentVolume = 63750;
  t.NewText = true;
  t.EngineMode = size % 2 == 0;
  t.NewUtterance = true;
  t.PendingText = bytes;
  // Every text ends, word by word, and no slot holds more than its entries.
  for (size_t words = 0; !t.PendingText.empty() && !(t.PendingText == kEndMarker); ++words) {
    if (words > (size + 1) * 10000) std::abort();  // rows can blow a word up to 1 MB
    t.CurrentSlot = t.CurrentSlot == 1 ? 2 : 1;
    t.SpeakStep();
    const TSayWord& w = t.Words[t.CurrentSlot];
    if (w.CharacterCount < 0 || w.CharacterCount > kMaxEntries) std::abort();
  }
}

}  // namespace kv::test
