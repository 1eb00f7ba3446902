// The character on the desktop: a frameless, always-on-top window with the drawn figure and
// its balloon. It draws what the character's requests tell it; it queues nothing itself.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "agent/character_file.h"

namespace kv::agent {

class CharacterWindow : public QWidget {
 public:
  enum class Balloon { None, Speech, Thought };

  explicit CharacterWindow(const CharacterLook& look);

  const CharacterLook& Look() const { return look_; }
  // Text in UTF-8; Balloon::None hides it.
  void SetBalloon(Balloon kind, const QString& text);
  const QString& BalloonText() const { return balloonText_; }
  Balloon BalloonKind() const { return balloon_; }
  void SetMouth(int opening);  // 0..255
  // The animation drawn (upper-case name, empty: standing) and its frame.
  void SetPose(const std::string& animation, int frame);
  // Without a compositor a transparent area shows as black: the window is then cut to the
  // figure and its balloon by a shape mask, renewed as they change.
  void UseShapeMask(bool on);

  std::function<void(int button)> onClick;
  // Told every new balloon text (observers such as tests and screen readers).
  std::function<void(const QString& text)> onBalloonChanged;
  std::function<void(const QPoint& globalPos)> onMenu;

  static constexpr int kBalloonHeight = 76;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Paint(class QPainter& p);
  void PaintFigure(QPainter& p, const QRect& area);
  void PaintBalloon(QPainter& p);
  void UpdateShape();

  CharacterLook look_;
  Balloon balloon_ = Balloon::None;
  QString balloonText_;
  int mouth_ = 0;
  std::string pose_;
  int frame_ = 0;
  bool shaped_ = false;
};

}  // namespace kv::agent
