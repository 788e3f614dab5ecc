// The function popups and the warning driven from the keyboard. Each key
// becomes what the mouse would do: hovering an item is moving the cursor to
// its centre, Enter and Space are a click there, so the popups' own mouse
// handlers make every choice.
#pragma once

#include "ports/navigation_key.h"
#include "skin/function_popups.h"
#include "skin/warning_dlg.h"

namespace tolvar {

// Up and Down walk the first popup's items (or the secondary list's, once
// entered); Right, Enter or Space on a category enter its secondary list,
// Left and Escape leave it; Enter or Space choose; Escape in the first
// popup cancels it. True when the key was for the popups.
bool DriveFunctionPopup(CMenuDlg& menu, const PopupState& state, NavigationKey key);

// The arrows and Tab move between the confirming and the cancelling
// button, Enter and Space press the one that is lit. True when the key was
// for the warning.
bool DriveWarning(WarningDlg& warning, const WarningSkinPage& page, NavigationKey key);

}  // namespace tolvar
