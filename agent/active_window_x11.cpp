#include "agent/active_window_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>
namespace kv::agent {

namespace {

// One connection for the program's life, opened on first use.
Display* XDisplay() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

std::optional<Window> ActiveWindowId(Display* display) {
  const Atom property = XInternAtom(display, "_NET_ACTIVE_WINDOW", True);
  if (property == None) return std::nullopt;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, rest = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1, False, XA_WINDOW,
                         &type, &format, &items, &rest, &data) != Success)
    return std::nullopt;
  std::optional<Window> id;
  if (data != nullptr && items == 1 && format == 32) id = *reinterpret_cast<Window*>(data);
  if (data != nullptr) XFree(data);
  if (id && *id == None) id.reset();
  return id;
}

}  // namespace

std::optional<Geometry> X11ActiveWindow(bool onX) {
  if (!onX) return std::nullopt;
  Display* display = XDisplay();
  if (display == nullptr) return std::nullopt;
  const auto id = ActiveWindowId(display);
  if (!id) return std::nullopt;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, *id, &attributes) == 0) return std::nullopt;
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(display, *id, DefaultRootWindow(display), 0, 0, &x, &y, &child);
  return Geometry{x, y, attributes.width, attributes.height};
}

bool X11Compositing(bool onX) {
  if (!onX) return false;
  Display* display = XDisplay();
  if (display == nullptr) return false;
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.c_str(), False);
  return XGetSelectionOwner(display, selection) != None;
}

}  // namespace kv::agent
