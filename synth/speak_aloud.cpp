#include "synth/speak_aloud.h"

#include <cstdio>
#include <ostream>

#include "platform/cp1250.h"
#include "platform/json.h"
#include "platform/message_loop.h"
#include "platform/sound.h"
#include "synth/say_text.h"

namespace kv {
namespace {}  // namespace

std::string SpeechEventJson(bool end, const std::string& text, int64_t elapsedMs) {
  if (end) return "{\"event\":\"end\",\"ms\":" + std::to_string(elapsedMs) + "}";
  return "{\"event\":\"word\",\"text\":" + platform::JsonString(text) +
         ",\"ms\":" + std::to_string(elapsedMs) + "}";
}

int SpeakAloud(TSayText& voice, const std::string& text, bool events, std::ostream& out,
               std::ostream& err) {
  platform::MessageLoop& loop = platform::MessageLoop::Current();
  platform::CurrentSoundBackend();  // chosen (and a missing device reported) before timing
  const int64_t start = loop.Now();
  bool ended = false;
  SpeechEvent previous = voice.OnSpeechEvent;
  voice.OnSpeechEvent = [&](const std::string& word, const MemoryStream* wave) {
    const bool end = word.empty() && wave == nullptr;
    if (events) out << SpeechEventJson(end, word, loop.Now() - start) << std::endl;
    if (end) ended = true;
  };
  voice.Say(text);
  // Blank text starts no timer; a stalled text leaves both timers off.
  const auto idle = [&] { return !voice.PlayTimer->Enabled() && !voice.EndTimer->Enabled(); };
  loop.RunUntil([&] { return ended || idle(); });
  voice.OnSpeechEvent = std::move(previous);
  if (ended || voice.PendingText.empty()) return 0;
  err << "kvtts: playback stopped before the end of the text" << std::endl;
  return 1;
}

}  // namespace kv
