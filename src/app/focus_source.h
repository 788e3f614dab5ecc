// Where the program learns which window is in front, from what the session
// offers: on Wayland the compositor's own route (a KWin script, the GNOME
// Shell extension), else the X server's active-window property (X11, and
// XWayland's windows under a Wayland compositor without a route).
#pragma once

#include <string>

namespace tolvar {

enum class FocusSourceKind { None, X11, KWin, GnomeShell };

struct SessionFacts {
  bool wayland = false;          // WAYLAND_DISPLAY is set
  bool x11 = false;              // DISPLAY is set
  bool kwinOnBus = false;        // org.kde.KWin owns its name on the session bus
  bool gnomeShellOnBus = false;  // org.gnome.Shell owns its name
};

FocusSourceKind ChooseFocusSource(const SessionFacts& facts);
// "X11", "KWin", "GNOME Shell", "none": the bus property FocusSource.
std::string FocusSourceName(FocusSourceKind kind);
// The kind a name of FocusSourceName stands for; None for any other text.
FocusSourceKind FocusSourceNamed(const std::string& name);
// One line for --diagnose.
std::string FocusSourceDescription(FocusSourceKind kind);

}  // namespace tolvar
