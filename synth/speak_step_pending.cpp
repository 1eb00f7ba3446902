// Placeholder until the text front-end lands: takes one word per call, no normalisation.
#include "synth/say_text.h"

namespace kv {

void TSayText::SpeakStep() {
  if (PendingText.empty()) {
    WordReady = true;
    return;
  }
  const size_t space = PendingText.find(' ');
  CurrentWord = PendingText.substr(0, space == std::string::npos ? space : space + 1);
  PendingText =
      space == std::string::npos ? std::string(kEndMarker) : PendingText.substr(space + 1);
  if (PendingText.empty()) PendingText = kEndMarker;
  TSayWord& word = Words[CurrentSlot];
  word.Reset();
  word.Text = CurrentWord;
  word.WordGain = kUnityLoudness;
  int k = 0;
  for (char c : CurrentWord) {
    if (k == kMaxEntries) break;
    TCharacter& e = word.Characters[++k];
    e.Letter = e.Grapheme = e.Unit = std::string(1, c);
    e.Duration = 150;
    e.Gain = 1.0;
    e.Loudness = CurrentVolume;
    e.Speed = CurrentSpeed;
  }
  word.CharacterCount = k;
  if (!EngineMode) AssembleWord();
  WordReady = true;
}

}  // namespace kv
