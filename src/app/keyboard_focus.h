// Moving the keyboard focus over the painted controls: Tab and Shift+Tab
// in reading order (a one-stop group is entered at its checked control),
// the arrows, Home and End within a group.
#pragma once

#include <optional>
#include <vector>

#include "app/window_controls.h"
#include "app/window_view_state.h"
#include "ports/navigation_key.h"

namespace tolvar {

// Where Tab (`forward`) or Shift+Tab takes the focus from `current`. Past
// either end it wraps round when `wrap`, else there is no control there.
// From a control that is not in the list, Tab goes to the first stop and
// Shift+Tab to the last.
std::optional<ControlId> NextTabStop(const std::vector<WindowControl>& controls, ControlId current, bool forward,
                                     bool wrap);

// Where Left and Up (the one before), Right and Down (the one after, both
// wrapping round), Home and End (the first and the last) take the focus in
// the group of `current`; nothing for other keys or a control not listed.
std::optional<ControlId> MoveInGroup(const std::vector<WindowControl>& controls, ControlId current, NavigationKey key);

// The hot spot the focus mark frames: the focused control's, while the
// mark is shown and the control is on the page shown.
std::optional<HotSpot> FocusMarkSpot(const AppState& state, const WindowViewState& view);

}  // namespace tolvar
