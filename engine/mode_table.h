// The engine's modes: one per voice, numbered 1 to 3 like the voices of the synthesizer.
#pragma once

#include <array>
#include <cstdint>

#include "platform/com.h"

namespace kv::engine {

struct ModeEntry {
  com::GUID modeId;
  const char* name;  // also the speaker
  const char* style;
  uint16_t gender;
  uint16_t age;
};

inline constexpr int kModeCount = 3;

// Fields common to every mode.
struct ModeCommon {
  const char* mfgName;
  const char* productName;
  uint16_t languageId;
  uint32_t features;
  uint32_t interfaces;
  uint32_t engineFeatures;
};

extern const ModeCommon kModeCommon;
// kModeTable[0] is mode 1.
extern const std::array<ModeEntry, kModeCount> kModeTable;

}  // namespace kv::engine
