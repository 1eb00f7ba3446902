// Sample-level operations of waveform assembly, free of synthesizer state so they can be
// checked sample for sample.
#pragma once

#include <cstdint>
#include <string_view>

#include "synth/memory_stream.h"

namespace kv {

// The ten samples that separate the segments of a voiced unit.
inline constexpr int16_t kSegmentMark[10] = {0, 1, 1, -1, -1, 1, 1, -1, -1, 0};

// Re-pitches a segment of `bytes` bytes in place by inserting (count >= 2) or removing
// (count <= -2) one sample every |count| samples, counted from the end; -1, 0 and 1 leave it.
// Updates `bytes` to the new length.
void ResampleSegment(MemoryStream& segment, int32_t count, int32_t& bytes);

// Copy form: copies `bytes` bytes of `source` into `target` and re-pitches the copy; a removal
// here drops the sample at every hit, edges included. Returns the new byte length.
int32_t ResampleSegmentCopy(const MemoryStream& source, MemoryStream& target, int32_t count,
                            int32_t bytes);

// Multiplies the first bytes/2 samples by `factor`, keeping the low 16 bits; samples -1, 0 and
// 1 are never changed, which keeps segment marks intact.
void ScaleSamples(MemoryStream& stream, int64_t bytes, double factor);

// Maps an entry's unit to the unit actually played: "_" for pauses and punctuation, base
// letters for long vowels and w. At most two characters.
std::string UnitNameForAssembly(std::string_view unit);

}  // namespace kv
