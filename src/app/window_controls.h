// The painted controls of the main window as a screen reader and the
// keyboard see them: for the page shown and the header, each hot spot a
// click reaches, with its role, its name in the interface's language, its
// state and value, in reading order and in groups (the arrows move within
// a group).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/control_id.h"
#include "skin/skin_layout.h"

namespace tolvar {

enum class ControlRole { PushButton, CheckBox, RadioButton, PageTab, Slider };

struct ControlValue {
  int current = 0;
  int minimum = 0;
  int maximum = 0;
  friend bool operator==(const ControlValue&, const ControlValue&) = default;
};

struct WindowControl {
  ControlId id;
  ControlRole role = ControlRole::PushButton;
  std::u16string name;
  std::u16string description;  // what the name leaves to its surroundings ("Level 2" for a DPI cell)
  int group = 0;               // neighbours in the list share it
  bool oneTabStop = false;     // Tab stops once in the group, at its checked control
  bool checked = false;        // checked, selected or the current one of its group
  bool unavailable = false;    // a click changes nothing
  std::optional<ControlValue> value;
  HotSpot spot;
};

// The controls of the page shown and the header, in reading order. Rows
// without a hot spot are left out.
std::vector<WindowControl> ControlsOfPage(const AppState& state);

// The accessible names of the macro editor's widgets (by control id), from
// the captions beside them.
struct WidgetName {
  int id;
  std::u16string name;
};
std::vector<WidgetName> MacroEditorWidgetNames(const AppState& state);

// What a screen reader is told after the controls or the focus changed.
enum class ChangeKind { Shown, Hidden, Checked, Availability, Name, Value, Focus };
struct ControlChange {
  ControlId id;
  ChangeKind kind;
  friend bool operator==(const ControlChange&, const ControlChange&) = default;
};
// The changes from one list (and focus) to the next, in the new list's
// order; the controls gone follow, then the focus when it moved to a shown control.
std::vector<ControlChange> ChangesBetween(const std::vector<WindowControl>& before, const KeyboardFocus& focusBefore,
                                          const std::vector<WindowControl>& after, const KeyboardFocus& focusAfter);

// The control with `id` in `controls`, or null.
const WindowControl* FindControl(const std::vector<WindowControl>& controls, ControlId id);

// The point a press of the control clicks.
Point CentreOf(const HotSpot& spot);

}  // namespace tolvar
