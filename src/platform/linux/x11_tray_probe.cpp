#include "platform/linux/x11_tray_probe.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

namespace tolvar {

bool XEmbedTrayPresent() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return false;
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return false;
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  const bool present = XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) != None;
  XCloseDisplay(display);
  return present;
}

}  // namespace tolvar
