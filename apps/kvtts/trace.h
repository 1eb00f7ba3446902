// The --trace output: one JSON object per word slot, as SpeakStep leaves it after intonation.
#pragma once

#include <string>

namespace kv {
struct TSayWord;
}

namespace kv::apps {

// One line of JSON (without the line break). `word` and the slot's texts are Windows-1250.
std::string TraceLine(const std::string& word, const TSayWord& slot);

}  // namespace kv::apps
