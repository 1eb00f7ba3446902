#include "apps/sd_kvtts/voices.h"

#include "platform/cp1250.h"

namespace kv::speechd {

const std::array<ListedVoice, 3> kListedVoices = {{
    {"DAVLa", "FEMALE1", 1},
    {"DAVLuska", "CHILD_FEMALE", 2},
    {"DAVL", "MALE1", 3},
}};

// Every symbolic voice must land somewhere: the female ones on DAVLa, the male ones on DAVL,
// both child voices on DAVLuska.
const std::array<SymbolicVoice, 8> kSymbolicVoices = {{
    {"female1", 1},
    {"female2", 1},
    {"female3", 1},
    {"male1", 3},
    {"male2", 3},
    {"male3", 3},
    {"child_female", 2},
    {"child_male", 2},
}};

int VoiceByName(std::string_view name) {
  for (const ListedVoice& v : kListedVoices)
    if (cp1250::SameText(v.name, name)) return v.number;
  return 0;
}

int VoiceBySymbol(std::string_view symbolic) {
  for (const SymbolicVoice& v : kSymbolicVoices)
    if (cp1250::SameText(v.name, symbolic)) return v.number;
  return 0;
}

}  // namespace kv::speechd
