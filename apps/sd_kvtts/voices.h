// The voices as speech-dispatcher sees them: our three engine voices, the symbolic voice each
// one stands for in LIST VOICES, and where each of the eight symbolic voices lands.
#pragma once

#include <array>
#include <string_view>

namespace kv::speechd {

struct ListedVoice {
  std::string_view name;      // the engine's mode name
  std::string_view symbolic;  // shown as the variant
  int number;                 // 1 DAVLa, 2 DAVLuska, 3 DAVL
};
extern const std::array<ListedVoice, 3> kListedVoices;

struct SymbolicVoice {
  std::string_view name;  // lower case, as the server sends it
  int number;
};
extern const std::array<SymbolicVoice, 8> kSymbolicVoices;

// The voice number of a mode name (case-insensitive) or of a symbolic voice; 0 when unknown.
int VoiceByName(std::string_view name);
int VoiceBySymbol(std::string_view symbolic);

}  // namespace kv::speechd
