// What the X display tells of the desktop: the active window as the window manager announces
// it (_NET_ACTIVE_WINDOW), with its place on the screen (none without an X display: Wayland,
// offscreen), and whether the screen is composited.
#pragma once

#include <optional>

#include "agent/character_layer.h"

namespace kv::agent {

// onX: the program's windows are on an X display (else there is none to ask).
std::optional<Geometry> X11ActiveWindow(bool onX);

// Whether a compositing manager draws the screen (it owns _NET_WM_CM_S<screen>): only then
// does a window's transparent area show what lies below it.
bool X11Compositing(bool onX);

}  // namespace kv::agent
