// Which painted control of the main window: a row of one of the pages'
// hot-spot lists; and where the keyboard focus rests among them.
#pragma once

#include <cstdint>

#include "base/values.h"

namespace tolvar {

// Which hot-spot list a control's row belongs to.
enum class HotSpotList : std::uint8_t { Main, Colour, Advanced };

struct ControlId {
  HotSpotList list = HotSpotList::Main;
  int row = kNone;
  friend bool operator==(const ControlId&, const ControlId&) = default;
};

struct KeyboardFocus {
  ControlId control;   // kNone row: no control has had the focus yet
  bool shown = false;  // the focus mark is drawn: the keyboard moved the focus since the last click
};

}  // namespace tolvar
