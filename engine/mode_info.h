// Mode records of the engine in both character forms.
#pragma once

#include <cstdint>

#include "sapi/sapi4.h"

namespace kv::engine {

// Fills the record of a mode (1..3; any other number is taken as 1). The whole record is zeroed
// first, so every text field is terminated and zero to its end. The W form widens each 8-bit
// character to one 16-bit code unit.
void BuildModeInfo(int32_t mode, sapi::TTSMODEINFOW* info);
void BuildModeInfo(int32_t mode, sapi::TTSMODEINFOA* info);

// Number of the mode with this identifier, or 0 when it is none of the engine's.
int32_t ModeNumberOf(const com::GUID& modeId);

}  // namespace kv::engine
