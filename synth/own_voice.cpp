#include "synth/own_voice.h"

#include <memory>

#include "platform/numeric.h"

namespace kv {
namespace {

std::unique_ptr<TSayText> g_ownVoice;
bool g_finalizing = false;

}  // namespace

bool OwnVoiceActive = false;

TSayText* OwnVoice() {
  return g_ownVoice.get();
}

void PrepareOwnVoice() {
  if (!g_ownVoice) g_ownVoice = std::make_unique<TSayText>(1);
  g_ownVoice->CurrentTone = 0;
  g_ownVoice->CurrentSpeed = RoundHalfEven32(SynthesisSettings.Speed * 100);
  g_ownVoice->CurrentVolume = kUnityLoudness;
}

void SayOwn(const std::string& text) {
  if (g_finalizing || !OwnVoiceActive) return;
  PrepareOwnVoice();
  g_ownVoice->Say(text);
}

void SetOwnVoiceEvent(SpeechEvent onSpeechEvent) {
  PrepareOwnVoice();
  g_ownVoice->OnSpeechEvent = std::move(onSpeechEvent);
}

void FinalizeOwnVoice() {
  g_finalizing = true;
  g_ownVoice.reset();
}

}  // namespace kv
