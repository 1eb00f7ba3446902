#include "agent/character_window.h"

#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "platform/cp1250.h"

namespace kv::agent {

namespace {

QColor Colour(unsigned rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Arm angles in degrees (0: hanging down, 90: sideways, 180: up) for a pose and frame.
std::pair<double, double> ArmAngles(const std::string& pose, int frame) {
  const double swing = (frame % 4 < 2) ? 1.0 : -1.0;
  if (pose == "WAVE" || pose == "GREET") return {20, 150 + 20 * swing};
  if (pose == "THINK" || pose == "THINKING") return {20, 135};
  if (pose == "PROCESS") return {60 + 25 * swing, 60 - 25 * swing};
  if (pose.starts_with("READ")) return {70, 70};
  return {20, 20};
}

}  // namespace

CharacterWindow::CharacterWindow(const CharacterLook& look) : look_(look) {
  setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                 Qt::WindowDoesNotAcceptFocus);
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(QString::fromStdString(cp1250::ToUtf8(look.name)));
  setFixedSize(std::max(look.width, 220), look.height + kBalloonHeight);
}

void CharacterWindow::SetBalloon(Balloon kind, const QString& text) {
  balloon_ = kind;
  const QString shown = kind == Balloon::None ? QString() : text;
  if (shown != balloonText_ && onBalloonChanged) onBalloonChanged(shown);
  balloonText_ = shown;
  UpdateShape();
  update();
}

void CharacterWindow::SetMouth(int opening) {
  mouth_ = std::clamp(opening, 0, 255);
  update();
}

void CharacterWindow::SetPose(const std::string& animation, int frame) {
  const bool changed = animation != pose_;
  pose_ = animation;
  frame_ = frame;
  if (changed || !pose_.empty()) UpdateShape();  // the arms move
  update();
}

void CharacterWindow::UseShapeMask(bool on) {
  shaped_ = on;
  if (on)
    UpdateShape();
  else
    clearMask();
}

// The mask is what a paint covers.
void CharacterWindow::UpdateShape() {
  if (!shaped_) return;
  QImage picture(size(), QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setFont(font());
  Paint(p);
  p.end();
  setMask(QBitmap::fromImage(picture.createAlphaMask()));
}

void CharacterWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p);
}

void CharacterWindow::Paint(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  PaintFigure(p, QRect((width() - look_.width) / 2, kBalloonHeight, look_.width, look_.height));
  if (balloon_ != Balloon::None) PaintBalloon(p);
}

void CharacterWindow::PaintFigure(QPainter& p, const QRect& a) {
  const QColor outline = Colour(look_.outline);
  p.setPen(QPen(outline, 2));
  const int cx = a.center().x();
  const int head = a.width() * 2 / 5;
  const QRect body(cx - a.width() / 4, a.top() + head, a.width() / 2, a.height() - head - 4);
  // Arms from the shoulders.
  const auto [left, right] = ArmAngles(pose_, frame_);
  const double arm = a.height() * 0.33;
  const QPointF shoulderL(body.left() + 4, body.top() + 8),
      shoulderR(body.right() - 4, body.top() + 8);
  p.setPen(QPen(Colour(look_.body).darker(130), 7, Qt::SolidLine, Qt::RoundCap));
  auto rad = [](double deg) { return deg * M_PI / 180; };
  p.drawLine(shoulderL, shoulderL + QPointF(-std::sin(rad(left)) * arm, std::cos(rad(left)) * arm));
  p.drawLine(shoulderR,
             shoulderR + QPointF(std::sin(rad(right)) * arm, std::cos(rad(right)) * arm));
  p.setPen(QPen(outline, 2));
  p.setBrush(Colour(look_.body));
  p.drawRoundedRect(body, 12, 12);
  // Head, eyes (looking up while thinking) and the mouth opened by the speech.
  const QRect face(cx - head / 2, a.top() + 2, head, head);
  p.setBrush(Colour(look_.face));
  p.drawEllipse(face);
  const int eyeY = face.top() + head / 3 - (pose_.starts_with("THINK") ? 3 : 0);
  p.setBrush(outline);
  p.drawEllipse(QPoint(face.left() + head / 3, eyeY), 3, 3);
  p.drawEllipse(QPoint(face.right() - head / 3, eyeY), 3, 3);
  const int open = 1 + mouth_ * head / 5 / 255;
  p.setBrush(QColor(120, 30, 30));
  p.drawEllipse(QRect(cx - head / 6, face.top() + head * 2 / 3 - open / 2, head / 3, open + 2));
  if (pose_.starts_with("READ")) {  // the book held in front
    p.setBrush(QColor(240, 240, 220));
    const int lift = pose_ == "READRETURN" ? 12 : 0;
    p.drawRect(QRect(cx - head / 2, body.top() + 14 + lift, head, head * 2 / 3));
    p.drawLine(cx, body.top() + 14 + lift, cx, body.top() + 14 + lift + head * 2 / 3);
  }
  if (pose_ == "PROCESS") {  // the turning wheel
    p.setBrush(Qt::NoBrush);
    const QPoint hub(body.center().x(), body.center().y());
    p.drawEllipse(hub, 10, 10);
    const double turn = frame_ * 30 * M_PI / 180;
    p.drawLine(hub, hub + QPoint(int(10 * std::cos(turn)), int(10 * std::sin(turn))));
  }
}

void CharacterWindow::PaintBalloon(QPainter& p) {
  const QRect box(4, 4, width() - 8, kBalloonHeight - 22);
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(QColor(255, 255, 225));
  if (balloon_ == Balloon::Thought) {
    p.drawRoundedRect(box, 24, 24);
    p.drawEllipse(QPoint(width() / 2 - 10, box.bottom() + 8), 5, 5);
    p.drawEllipse(QPoint(width() / 2 - 4, box.bottom() + 16), 3, 3);
  } else {
    QPainterPath path;
    path.addRoundedRect(box, 8, 8);
    QPolygonF tail({QPointF(width() / 2 - 14, box.bottom()), QPointF(width() / 2 - 2, box.bottom()),
                    QPointF(width() / 2 - 6, kBalloonHeight - 4)});
    path.addPolygon(tail);
    p.drawPath(path.simplified());
  }
  p.setFont(QFont(font().family(), 9));
  // The end of the text stays in sight: the last words that fit.
  QString text = balloonText_;
  const QRect inner = box.adjusted(8, 4, -8, -4);
  while (text.size() > 1 && p.boundingRect(inner, Qt::TextWordWrap, text).height() > inner.height())
    text = text.mid(text.indexOf(' ') > 0 ? text.indexOf(' ') + 1 : 1);
  p.drawText(inner, Qt::TextWordWrap | Qt::AlignVCenter | Qt::AlignHCenter, text);
}

void CharacterWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && onMenu) onMenu(event->globalPosition().toPoint());
  if (event->button() == Qt::LeftButton && onClick) onClick(1);
}

}  // namespace kv::agent
