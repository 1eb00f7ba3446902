// Local playback: Say speaks a text word by word through the sound output. A 100 ms timer
// starts each prepared word as soon as the previous one has finished and prepares the next
// while it plays; a 250 ms timer notices the end.
#include <algorithm>

#include "platform/message_loop.h"
#include "platform/sound.h"
#include "synth/say_text.h"

namespace kv {
namespace {

constexpr uint32_t kStartWave = platform::SND_ASYNC | platform::SND_MEMORY;  // 5
constexpr uint32_t kProbe = kStartWave | platform::SND_NOSTOP;               // 21

bool Blank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::span<const uint8_t> Bytes(const MemoryStream* s) {
  return s ? s->Bytes() : std::span<const uint8_t>();
}

}  // namespace

void TSayText::Say(const std::string& text) {
  PlayTimer->SetEnabled(false);
  EndTimer->SetEnabled(false);
  WordCount = 0;
  if (!PendingText.empty()) {
    PendingText.clear();
    CurrentWord.clear();
  }
  CharCount = 0;
  platform::SndPlaySound(Bytes(SilentWave.get()), kStartWave);  // stops what still plays
  ResetEchoLines();
  NewUtterance = true;
  PendingText = text;
  CurrentWord.clear();
  if (Blank(text)) {
    PendingText.clear();
    CurrentWord.clear();
    return;
  }
  WordReady = false;
  PlayFlags = kProbe;
  if (!PlayTimer->Enabled()) PlayTimer->SetEnabled(true);
}

void TSayText::PlayTimerTick() {
  if (PendingText.empty()) {
    PlayTimer->SetEnabled(false);
    EndTimer->SetEnabled(true);
    return;
  }
  if (!WordReady) {
    if (!Blank(PendingText.View())) {
      PlayTimer->SetEnabled(false);
      try {
        SpeakStep();
      } catch (...) {
        return;  // nothing escapes a timer message: the text stalls until the next Say
      }
      if (WordReady) PlayTimer->SetEnabled(true);
    }
    return;
  }
  PlayTimer->SetEnabled(false);
  try {
    if (!platform::SndPlaySound(Bytes(SilentWave.get()), PlayFlags)) {
      PlayTimer->SetEnabled(true);  // the previous word still plays
      return;
    }
    if (!platform::SndPlaySound(SlotWaves[CurrentSlot].Bytes(), kStartWave)) {
      PlayTimer->SetEnabled(true);  // retry at the next tick
      return;
    }
    if (OnSpeechEvent) OnSpeechEvent(CurrentWord, &SlotWaves[CurrentSlot]);
    if (PendingText != kEndMarker) {
      ReportEvent("slovo");
      CurrentSlot = CurrentSlot == 1 ? 2 : 1;
      WordReady = false;
      SpeakStep();  // the next word is prepared while this one plays
      PlayTimer->SetEnabled(true);
    } else {
      PendingText.clear();
      EndTimer->SetEnabled(true);
    }
  } catch (...) {
    // The text stalls here until the next Say.
  }
}

void TSayText::EndTimerTick() {
  if (!platform::SndPlaySound(Bytes(SilentWave.get()), kProbe)) return;  // the last word plays
  EndTimer->SetEnabled(false);
  try {
    if (OnSpeechEvent) OnSpeechEvent(std::string(), nullptr);
  } catch (...) {
    // Errors of a notification are swallowed.
  }
}

void TSayText::ReportEvent(std::string_view text) {
  if (text != "slovo") return;
  if (WordCount == 0) CharCount = 0;
  ++WordCount;
  CharCount += int32_t(CurrentWord.size());
}

}  // namespace kv
