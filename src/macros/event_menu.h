// The event list's context menu in both languages, and the command behind
// each of its ids.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ports/owner_drawn_menu.h"

namespace tolvar {

enum class EventCommandKind { InsertBefore, InsertAfter, ModifyDelay, Delete };

struct EventCommand {
  EventCommandKind kind = EventCommandKind::Delete;
  std::uint8_t code = 0;    // the mouse button an insert adds
  std::uint8_t action = 0;  // press or release
  friend bool operator==(const EventCommand&, const EventCommand&) = default;
};

// The menu's top-level entries (one, whose sub-menu is the one opened) for
// a language (VER_SEL nonzero: English), captions exactly as shown,
// trailing spaces included.
const std::vector<MenuEntry>& EventMenuResource(std::uint8_t verSel);

// The command of a menu id of either language; none for other ids.
std::optional<EventCommand> EventMenuCommand(int id);

}  // namespace tolvar
