// Speaking a text aloud from a program: Say on the calling thread's message loop, run until
// the end event.
#pragma once

#include <iosfwd>
#include <string>

namespace kv {

class TSayText;

// Speaks `text` (Windows-1250) with the synthesizer through the process's sound output and
// runs the calling thread's message loop until playback has ended. With `events`, each
// OnSpeechEvent is printed to `out` as one JSON line, with the milliseconds elapsed on the
// loop clock since Say:
//   {"event":"word","text":"Dobrý ","ms":0}
//   {"event":"end","ms":812}
// A blank text ends at once with no event. Returns 0 when the text was spoken to its end (or
// was blank), 1 when playback stalled (an error stopped the text; said on `err`).
// The synthesizer's OnSpeechEvent is restored before returning.
int SpeakAloud(TSayText& voice, const std::string& text, bool events, std::ostream& out,
               std::ostream& err);

// One event as its JSON line (without the line end); the text is Windows-1250, written as
// UTF-8 with JSON escapes.
std::string SpeechEventJson(bool end, const std::string& text, int64_t elapsedMs);

}  // namespace kv
