// The active window as the X window manager announces it (_NET_ACTIVE_WINDOW), with its place
// on the screen. None without an X display (Wayland, offscreen).
#pragma once

#include <optional>

#include "agent/character_layer.h"

namespace kv::agent {

std::optional<Geometry> X11ActiveWindow();

}  // namespace kv::agent
