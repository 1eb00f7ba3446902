#include "dialogs/qt/gradient_background.h"

#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include "dialogs/logic/gradient.h"

namespace kv::dialogs {

namespace {

// A display with a palette of 256 colours or fewer has no room for the gradient's shades
// (Windows reports its static colours, 1..255). Depth 0 means unknown: paint.
bool IsPaletteDisplay(int depth) {
  return depth >= 1 && depth <= 8;
}

int DisplayDepth(const QWidget& form) {
  if (const QScreen* screen = form.screen()) return screen->depth();
  return QPixmap::defaultDepth();
}

}  // namespace

void PaintGradientBackground(QPainter& painter, int width, int outerHeight, int displayDepth) {
  if (IsPaletteDisplay(displayDepth)) return;
  const int penWidth = GradientPenWidth(outerHeight);
  QPen pen;
  pen.setWidth(penWidth);
  pen.setCapStyle(Qt::FlatCap);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (int i = 0; i <= outerHeight / penWidth; ++i) {
    const GradientColour colour = GradientLineColour(i);
    pen.setColor(QColor(colour.red, colour.green, colour.blue));
    painter.setPen(pen);
    painter.drawLine(0, i * penWidth, width, i * penWidth);
  }
  painter.restore();
}

void PaintGradientBackground(QWidget& form) {
  if (!form.isWindow()) return;
  QPainter painter(&form);
  PaintGradientBackground(painter, form.width(), form.frameGeometry().height(), DisplayDepth(form));
}

}  // namespace kv::dialogs
