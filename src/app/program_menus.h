// The program's two owner-drawn menus: the event list's context menu and the
// tray menu, loaded for the language at start-up and again on a language
// switch (the objects stay; their menus and records are replaced).
#pragma once

#include <cstdint>
#include <vector>

#include "skin/owner_drawn_menu.h"

namespace tolvar {

// The tray menu as a menu resource: one top-level entry whose sub-menu
// holds the tray menu's items.
std::vector<MenuEntry> TrayMenuResource(std::uint8_t verSel);

struct ProgramMenus {
  CTolvarMenu eventMenu;
  CTolvarMenu trayMenu;

  void Load(std::uint8_t verSel);
};

}  // namespace tolvar
