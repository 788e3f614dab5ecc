// What the main window shows beyond the model: the hot spots under the
// cursor, the press, and the function popups. The window owns it; the
// user-interface thread alone reads and writes it.
#pragma once

#include <array>

#include "app/control_id.h"
#include "base/values.h"
#include "skin/function_popups.h"

namespace tolvar {

struct WindowViewState {
  int HoverMain = kNone;
  int HoverColour = kNone;
  int HoverAdvanced = kNone;
  std::array<int, 3> LastHover{kNone, kNone, kNone};  // main, colour, advanced at the last move
  bool Pressed = false;
  KeyboardFocus Focus;  // the keyboard's control among the painted ones

  // The function popups and the warning (EditedButton, PopupOrigin, ...).
  PopupState Popups;
};

}  // namespace tolvar
