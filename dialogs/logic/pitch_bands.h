// The recommended pitch range of each voice, marked as the selection band of the pitch
// track bar, by the voice list's item index (DAVLa, DAVLuska, DAVL).
#pragma once

namespace kv::dialogs {

struct PitchBand {
  int start;
  int end;
};

inline constexpr PitchBand kPitchBands[3] = {{-30, -10}, {-10, -1}, {1, 10}};

}  // namespace kv::dialogs
