// The background every form of the system paints: a vertical gradient from cyan at the top,
// one line per row, darkening downwards.
#pragma once

#include "dialogs/logic/gradient.h"

class QPainter;
class QWidget;

namespace kv::dialogs {

// Paints form's client area from its paintEvent. Does nothing for a widget that is not a
// window, or on a palette display (8 bits per pixel or fewer).
void PaintGradientBackground(QWidget& form);
// The painting itself: width of the client area, outer height of the form, display depth.
void PaintGradientBackground(QPainter& painter, int width, int outerHeight, int displayDepth);

}  // namespace kv::dialogs
