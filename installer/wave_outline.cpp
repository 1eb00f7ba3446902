#include "installer/wave_outline.h"

#include <algorithm>
#include <cmath>

namespace kv::installer {

namespace {

int Round(double v) {
  return int(std::nearbyint(v));  // ties to even, the system's rounding
}

int16_t Sample(std::span<const uint8_t> wave, size_t k) {
  return int16_t(uint16_t(wave[2 * k] | (wave[2 * k + 1] << 8)));
}

}  // namespace

std::vector<WavePoint> WaveOutline(std::span<const uint8_t> wave, int width, int height) {
  std::vector<WavePoint> points;
  const size_t samples = size_t(Round(double(wave.size()) / 2));
  if (width <= 0 || wave.size() <= 46) return points;
  const int step = std::max(1, Round((double(wave.size()) - 86) / 2 / width));
  const int middle = Round(height / 2.0);
  points.push_back({0, middle - Round(Sample(wave, 22) / 100.0)});
  for (size_t k = 22, x = 0; k + 1 < samples && 2 * k + 1 < wave.size(); k += size_t(step), ++x)
    points.push_back({int(x), middle - Round(Sample(wave, k) / 100.0)});
  return points;
}

}  // namespace kv::installer
