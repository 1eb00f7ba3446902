// The active window as the X window manager announces it (_NET_ACTIVE_WINDOW), with its place
// on the screen. None without an X display (Wayland, offscreen).
#pragma once

#include <optional>

#include "agent/character_layer.h"

namespace kv::agent {

// onX: the program's windows are on an X display (else there is none to ask).
std::optional<Geometry> X11ActiveWindow(bool onX);

}  // namespace kv::agent
