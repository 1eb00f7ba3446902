#include "agent/active_follower.h"

namespace kv::agent {

// Above the window when there is room, else inside its lower right corner, else (a window
// filling the screen's height from the top) the lower right corner of the screen.
Point ActiveFollower::Target(const Geometry& active, const Geometry& screen, int charWidth,
                             int charHeight) {
  if (active.top - charHeight > 0) return {active.left, active.top};
  const int bottom = active.top + active.height - 5;
  if (bottom < charHeight) return {screen.width - charWidth, screen.height - 25};
  return {active.left + active.width - charWidth, bottom};
}

std::optional<Point> ActiveFollower::Settle(const Point& target, int charHeight) {
  const bool settled = history_[0] == history_[1] && history_[1] == history_[2];
  std::optional<Point> move;
  if (!(target == last_) || !settled) {
    history_ = {history_[1], history_[2], target};
    movePending_ = true;
  } else if (movePending_) {
    movePending_ = false;
    move = Point{target.x, target.y - charHeight + 8};
  }
  last_ = target;
  return move;
}

std::optional<Point> ActiveFollower::Step(const Geometry& active, const Geometry& screen,
                                          int charWidth, int charHeight) {
  return Settle(Target(active, screen, charWidth, charHeight), charHeight);
}

std::optional<Point> ActiveFollower::StepAtOnce(const Geometry& active, const Geometry& screen,
                                                int charWidth, int charHeight) {
  const Point target = Target(active, screen, charWidth, charHeight);
  history_ = {target, target, target};
  last_ = target;
  movePending_ = true;
  return Settle(target, charHeight);
}

}  // namespace kv::agent
