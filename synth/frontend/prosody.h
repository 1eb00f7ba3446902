// Intonation and rhythm of one word slot: the word's pitch level by sentence type, a pitch
// target or tone shift per entry, the unit substitution, and pause, duration, gain and
// segment cuts per unit.
#pragma once

#include <cstdint>

namespace kv {
struct TSayWord;
}

namespace kv::frontend {

// Runs every pass over entries 1..CharacterCount. `current_speed` is the running speed in
// percent; `new_utterance` says whether the previous word ended a sentence, and is updated.
// Reseeds the random generator first (see random.h).
void ApplyProsody(TSayWord& word, int32_t current_speed, bool& new_utterance);

}  // namespace kv::frontend
