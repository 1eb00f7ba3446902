// The background every form of the system paints: a vertical gradient from cyan at the top,
// one line per pen width, darkening downwards. Each face draws the lines with its toolkit.
#pragma once

#include <algorithm>

namespace kv::dialogs {

// Pen width for a form of outer height h: thicker lines for taller forms.
inline int GradientPenWidth(int h) {
  if (h <= 240) return 1;
  if (h <= 450) return 2;
  if (h <= 650) return 3;
  if (h <= 1000) return 4;
  if (h <= 2000) return 5;
  return 3;
}

// The colour of line i as red, green and blue. Beyond 239 lines the shades would go
// negative: they stay at the darkest.
struct GradientColour {
  int red, green, blue;
};
inline GradientColour GradientLineColour(int i) {
  return {0, std::max(0, 255 - i), std::max(0, 239 - i)};
}

// A display with a palette of 256 colours or fewer has no room for the gradient's shades.
// colours is what the display reports as its number of colours (0 or −1: more than a palette).
inline bool GradientFits(int colours) {
  return colours == 0 || colours == -1 || colours >= 256;
}

}  // namespace kv::dialogs
