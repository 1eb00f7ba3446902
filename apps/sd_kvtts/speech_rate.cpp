#include "apps/sd_kvtts/speech_rate.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kv::speechd {

namespace {

constexpr std::array<int, 8> kTones = {-12, -6, -3, 0, 3, 6, 9, 12};

struct Row {
  double speed;
  std::array<double, 8> length;  // at each of kTones
};

// Length of speech at the engine's speed attribute and tone, against speed 151 and tone 0
// (measured with bench/sd_kvtts_prosody grid). The tone matters most at fast speeds, where
// re-pitching adds or removes samples in units that have already lost segments.
// clang-format off
constexpr std::array<Row, 25> kLengths = {{
    {10, {4.443, 4.279, 4.285, 4.338, 4.327, 4.259, 4.270, 4.268}},
    {20, {4.047, 4.027, 3.955, 4.082, 3.924, 3.966, 3.932, 3.930}},
    {30, {3.781, 3.707, 3.782, 3.597, 3.732, 3.544, 3.620, 3.618}},
    {40, {3.442, 3.389, 3.383, 3.375, 3.262, 3.363, 3.311, 3.309}},
    {50, {3.340, 3.203, 3.206, 3.247, 3.084, 3.203, 3.083, 3.081}},
    {60, {2.798, 2.812, 2.803, 2.816, 2.799, 2.717, 2.779, 2.778}},
    {70, {2.591, 2.597, 2.634, 2.556, 2.488, 2.496, 2.465, 2.464}},
    {80, {2.440, 2.220, 2.274, 2.295, 2.258, 2.245, 2.218, 2.228}},
    {90, {2.268, 2.172, 2.125, 2.070, 2.089, 2.057, 1.990, 1.989}},
    {100, {1.961, 1.969, 1.974, 1.825, 1.774, 1.826, 1.836, 1.835}},
    {110, {1.777, 1.753, 1.726, 1.651, 1.544, 1.624, 1.545, 1.544}},
    {120, {1.566, 1.519, 1.490, 1.471, 1.440, 1.353, 1.372, 1.371}},
    {130, {1.438, 1.355, 1.342, 1.294, 1.300, 1.281, 1.198, 1.198}},
    {140, {1.262, 1.209, 1.200, 1.153, 1.113, 1.088, 1.093, 1.093}},
    {151, {1.086, 1.037, 1.034, 1.000, 0.950, 0.937, 0.897, 0.896}},
    {160, {0.898, 0.844, 0.846, 0.810, 0.795, 0.762, 0.742, 0.741}},
    {170, {0.785, 0.739, 0.736, 0.698, 0.671, 0.648, 0.641, 0.642}},
    {180, {0.681, 0.633, 0.636, 0.602, 0.573, 0.550, 0.526, 0.527}},
    {190, {0.590, 0.546, 0.536, 0.504, 0.469, 0.450, 0.430, 0.430}},
    {200, {0.520, 0.451, 0.449, 0.413, 0.382, 0.359, 0.344, 0.343}},
    {210, {0.463, 0.399, 0.390, 0.338, 0.307, 0.278, 0.264, 0.265}},
    {220, {0.444, 0.374, 0.364, 0.309, 0.279, 0.248, 0.224, 0.225}},
    {230, {0.430, 0.360, 0.350, 0.296, 0.261, 0.230, 0.205, 0.205}},
    {240, {0.404, 0.338, 0.327, 0.275, 0.242, 0.212, 0.188, 0.188}},
    {250, {0.396, 0.329, 0.319, 0.267, 0.233, 0.204, 0.180, 0.179}},
}};
// clang-format on

// The length at a row for any tone, linear between the measured tones.
double LengthAt(const Row& row, int tone) {
  size_t i = 1;
  while (i + 1 < kTones.size() && kTones[i] < tone) ++i;
  const double t = double(tone - kTones[i - 1]) / (kTones[i] - kTones[i - 1]);
  return row.length[i - 1] + (row.length[i] - row.length[i - 1]) * t;
}

}  // namespace

uint32_t EngineSpeed(int rate, int tone) {
  const double wanted = std::pow(3.0, -std::clamp(rate, -100, 100) / 100.0);
  tone = std::clamp(tone, -12, 12);
  // The first row whose speech is no longer than wanted, and the row before it.
  double previous = LengthAt(kLengths.front(), tone);
  if (wanted >= previous) return uint32_t(kLengths.front().speed);
  for (size_t i = 1; i < kLengths.size(); ++i) {
    const double length = LengthAt(kLengths[i], tone);
    if (length <= wanted) {
      const double s0 = kLengths[i - 1].speed, s1 = kLengths[i].speed;
      const double span = previous - length;
      return uint32_t(std::lround(span <= 0 ? s1 : s0 + (s1 - s0) * (previous - wanted) / span));
    }
    previous = std::min(previous, length);
  }
  return uint32_t(kLengths.back().speed);
}

}  // namespace kv::speechd
