// Keeps the character standing on the edge of the active window: a new place is taken only
// once the window has stood still for a few ticks (three-entry history of targets).
#pragma once

#include <array>
#include <optional>

#include "agent/character_layer.h"

namespace kv::agent {

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

class ActiveFollower {
 public:
  // One tick of following; the place to move the character to, if it should move now.
  std::optional<Point> Step(const Geometry& active, const Geometry& screen, int charWidth,
                            int charHeight);
  // Following at once: the history is filled with the new target, so the character moves now.
  std::optional<Point> StepAtOnce(const Geometry& active, const Geometry& screen, int charWidth,
                                  int charHeight);
  void SetMovePending() { movePending_ = true; }

 private:
  static Point Target(const Geometry& active, const Geometry& screen, int charWidth,
                      int charHeight);
  std::optional<Point> Settle(const Point& target, int charHeight);

  Point last_;
  std::array<Point, 3> history_{};
  bool movePending_ = false;
};

}  // namespace kv::agent
