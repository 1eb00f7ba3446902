// The mouth shapes reported with Visual notifications: eight rows of (character set, mouth
// record), searched in order for a Windows-1250 character code.
#pragma once

#include <bitset>
#include <cstdint>

#include "sapi/sapi4.h"

namespace kv::engine {

struct MouthRow {
  std::bitset<256> characters;
  sapi::TTSMOUTH mouth;
};

inline constexpr int kMouthRows = 8;
extern const MouthRow kMouthTable[kMouthRows];

// The mouth of the first row whose set holds the code; all zero for a code no row holds
// (codes below 32).
sapi::TTSMOUTH LookupMouth(uint8_t code);

}  // namespace kv::engine
