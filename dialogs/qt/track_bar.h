// A track bar as the forms use it: a slider with tick marks at its tick frequency and a
// selection band (the recommended range) drawn into its groove. A click anywhere on the bar
// moves the thumb to the value under the pointer, and dragging follows the pointer; the
// same value-to-pixel mapping draws the ticks and places the thumb, so a click on a tick
// lands on that tick's value.
#pragma once

#include <QSlider>

class QLabel;

namespace kv::dialogs {

class TTrackBar : public QSlider {
  Q_OBJECT

 public:
  explicit TTrackBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  void SetRange(int min, int max, int position);
  void SetTickFrequency(int frequency);
  void SetSelection(int start, int end);
  int SelStart() const { return selStart_; }
  int SelEnd() const { return selEnd_; }

  // The value the form shows for a position: position × direction + offset (the speed bar
  // shows 200 − position). Screen readers are given this value, not the position.
  void SetShownValue(int direction, int offset);
  int ShownValue(int position) const { return position * direction_ + offset_; }
  int PositionOfShown(int shown) const { return (shown - offset_) * direction_; }
  // The label that shows the value, for screen readers.
  void SetValueLabel(QLabel* label) { valueLabel_ = label; }
  QLabel* ValueLabel() const { return valueLabel_; }

  // Centre of the thumb, along the bar, when it stands at value (widget coordinates).
  int PixelOfValue(int value) const;
  // The value whose thumb centre is nearest to a pixel along the bar.
  int ValueAtPixel(int pixel) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int AlongBar(const QPointF& point) const;
  void MoveToPointer(const QPointF& point);
  // The channel between the thumb centres of two values, across the groove's middle.
  QRect Span(const QRect& groove, int from, int to) const;
  void PaintChannel(QPainter& painter, const QRect& groove) const;
  void PaintTicks(QPainter& painter, const QRect& groove) const;

  int direction_ = 1;
  int offset_ = 0;
  QLabel* valueLabel_ = nullptr;
  int selStart_ = 0;
  int selEnd_ = 0;
  bool dragging_ = false;
};

}  // namespace kv::dialogs
