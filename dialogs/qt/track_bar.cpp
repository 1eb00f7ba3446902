#include "dialogs/qt/track_bar.h"

#include <QMouseEvent>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "dialogs/qt/accessible_controls.h"

namespace kv::dialogs {

namespace {

constexpr int kTickLength = 3;
constexpr int kTickGap = 2;  // between the groove and the ticks
constexpr int kChannelHalf = 2;

}  // namespace

TTrackBar::TTrackBar(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
  setTickPosition(orientation == Qt::Horizontal ? TicksBelow : TicksRight);
  setFocusPolicy(Qt::StrongFocus);
  InstallAccessibleControls();
}

void TTrackBar::SetShownValue(int direction, int offset) {
  direction_ = direction < 0 ? -1 : 1;
  offset_ = offset;
}

void TTrackBar::SetRange(int min, int max, int position) {
  setRange(min, max);
  setValue(position);
}

void TTrackBar::SetTickFrequency(int frequency) {
  setTickInterval(frequency);
  setPageStep(frequency);
  update();
}

void TTrackBar::SetSelection(int start, int end) {
  selStart_ = start;
  selEnd_ = end;
  update();
}

int TTrackBar::PixelOfValue(int value) const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  option.sliderPosition = value;
  option.sliderValue = value;
  const QRect handle =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  return orientation() == Qt::Horizontal ? handle.center().x() : handle.center().y();
}

int TTrackBar::ValueAtPixel(int pixel) const {
  // Estimate by proportion, then take the nearest thumb centre among the neighbours: the
  // thumb's pixels are rounded, so only they decide.
  const int first = PixelOfValue(minimum());
  const int last = PixelOfValue(maximum());
  int estimate = minimum();
  if (last != first)
    estimate += static_cast<int>(
        std::lround(static_cast<double>(pixel - first) * (maximum() - minimum()) / (last - first)));
  estimate = std::clamp(estimate, minimum(), maximum());
  int best = estimate;
  for (int v = std::max(minimum(), estimate - 2); v <= std::min(maximum(), estimate + 2); ++v)
    if (std::abs(PixelOfValue(v) - pixel) < std::abs(PixelOfValue(best) - pixel)) best = v;
  return best;
}

int TTrackBar::AlongBar(const QPointF& point) const {
  return orientation() == Qt::Horizontal ? qRound(point.x()) : qRound(point.y());
}

void TTrackBar::MoveToPointer(const QPointF& point) {
  setSliderPosition(ValueAtPixel(AlongBar(point)));
}

void TTrackBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QSlider::mousePressEvent(event);
    return;
  }
  event->accept();
  setFocus(Qt::MouseFocusReason);
  dragging_ = true;
  setSliderDown(true);
  MoveToPointer(event->position());
}

void TTrackBar::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    QSlider::mouseMoveEvent(event);
    return;
  }
  event->accept();
  MoveToPointer(event->position());
}

void TTrackBar::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) {
    QSlider::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  MoveToPointer(event->position());
  dragging_ = false;
  setSliderDown(false);
}

void TTrackBar::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove =
      style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  // The channel is drawn here rather than by the style, which would fill it up to the thumb
  // and hide the selection band.
  PaintChannel(painter, groove);
  PaintTicks(painter, groove);
  option.subControls = QStyle::SC_SliderHandle;
  painter.drawComplexControl(QStyle::CC_Slider, option);
}

QRect TTrackBar::Span(const QRect& groove, int from, int to) const {
  const int a = PixelOfValue(from);
  const int b = PixelOfValue(to);
  if (orientation() == Qt::Horizontal) {
    const int y = groove.center().y();
    return QRect(QPoint(std::min(a, b), y - kChannelHalf),
                 QPoint(std::max(a, b), y + kChannelHalf));
  }
  const int x = groove.center().x();
  return QRect(QPoint(x - kChannelHalf, std::min(a, b)), QPoint(x + kChannelHalf, std::max(a, b)));
}

void TTrackBar::PaintChannel(QPainter& painter, const QRect& groove) const {
  const QRect channel = Span(groove, minimum(), maximum());
  painter.fillRect(channel, palette().color(QPalette::Base));
  if (selEnd_ > selStart_) {
    const QRect band = Span(groove, selStart_, selEnd_);
    painter.fillRect(
        orientation() == Qt::Horizontal ? band.adjusted(0, 1, 0, -1) : band.adjusted(1, 0, -1, 0),
        palette().color(QPalette::Highlight));
  }
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(channel);
}

void TTrackBar::PaintTicks(QPainter& painter, const QRect& groove) const {
  const int frequency = tickInterval() > 0 ? tickInterval() : 1;
  painter.setPen(palette().color(QPalette::WindowText));
  auto tick = [&](int value) {
    const int at = PixelOfValue(value);
    if (orientation() == Qt::Horizontal) {
      const int y = groove.bottom() + kTickGap;
      painter.drawLine(at, y, at, y + kTickLength);
    } else {
      const int x = groove.right() + kTickGap;
      painter.drawLine(x, at, x + kTickLength, at);
    }
  };
  for (int v = minimum(); v < maximum(); v += frequency) tick(v);
  tick(maximum());
}

}  // namespace kv::dialogs
