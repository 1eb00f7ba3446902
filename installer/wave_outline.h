// The outline of a spoken wave as the installer's wave display draws it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kv::installer {

struct WavePoint {
  int x, y;
};

// Points of the black line for a wave stream (a 44-byte header, then 16-bit samples) in an
// image of width × height: one point per column, every step-th sample, scaled by 1/100 around
// the middle line. Empty for a stream without samples.
std::vector<WavePoint> WaveOutline(std::span<const uint8_t> wave, int width, int height);

}  // namespace kv::installer
