// The installer's own voice: one synthesizer of voice 1 that the installer program speaks its
// explanations with. Part of the installer's build of the synthesizer only (the kvsynth_own
// library); the engine library has none of it.
#pragma once

#include <string>

#include "synth/say_text.h"

namespace kv {

// The installer's synthesizer: null until first used, destroyed by FinalizeOwnVoice.
TSayText* OwnVoice();
// Whether texts go to the own voice (false at start); read and written by the main form and
// the agent form.
extern bool OwnVoiceActive;

// Creates the own voice on first use (voice 1), then sets its CurrentTone to 0, CurrentSpeed to
// the speed setting × 100 (rounded) and CurrentVolume to unity.
void PrepareOwnVoice();
// Says the text with the own voice, unless the program is shutting down or OwnVoiceActive is
// false. An empty text stops what the voice says (no event follows).
void SayOwn(const std::string& text);
// Sets the own voice's OnSpeechEvent (creating the voice first).
void SetOwnVoiceEvent(SpeechEvent onSpeechEvent);
// Program shutdown: from now on SayOwn does nothing; the own voice is destroyed.
void FinalizeOwnVoice();

}  // namespace kv
