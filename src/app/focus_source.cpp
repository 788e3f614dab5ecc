#include "app/focus_source.h"

namespace tolvar {

FocusSourceKind ChooseFocusSource(const SessionFacts& facts) {
  if (facts.wayland && facts.kwinOnBus) return FocusSourceKind::KWin;
  if (facts.wayland && facts.gnomeShellOnBus) return FocusSourceKind::GnomeShell;
  if (facts.x11) return FocusSourceKind::X11;
  return FocusSourceKind::None;
}

std::string FocusSourceName(FocusSourceKind kind) {
  switch (kind) {
    case FocusSourceKind::X11:
      return "X11";
    case FocusSourceKind::KWin:
      return "KWin";
    case FocusSourceKind::GnomeShell:
      return "GNOME Shell";
    case FocusSourceKind::None:
      break;
  }
  return "none";
}

FocusSourceKind FocusSourceNamed(const std::string& name) {
  for (const FocusSourceKind kind : {FocusSourceKind::X11, FocusSourceKind::KWin, FocusSourceKind::GnomeShell}) {
    if (FocusSourceName(kind) == name) return kind;
  }
  return FocusSourceKind::None;
}

std::string FocusSourceDescription(FocusSourceKind kind) {
  switch (kind) {
    case FocusSourceKind::X11:
      return "the X server's active window (_NET_ACTIVE_WINDOW)";
    case FocusSourceKind::KWin:
      return "a KWin script loaded over KWin's scripting interface";
    case FocusSourceKind::GnomeShell:
      return "the GNOME Shell extension tolvar-focus@tolvar.org (it must be enabled: "
             "gnome-extensions enable tolvar-focus@tolvar.org)";
    case FocusSourceKind::None:
      break;
  }
  return "none: no profile follows the window in front";
}

}  // namespace tolvar
