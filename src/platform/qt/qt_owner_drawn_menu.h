// OwnerDrawnMenus as Qt pop-up menus whose entries the core measures and
// draws: a style that leaves every margin and frame out and paints each
// entry through the core's look onto a canvas.
#pragma once

#include "ports/owner_drawn_menu.h"

class QMenu;

namespace tolvar {

class QtOwnerDrawnMenus final : public OwnerDrawnMenus {
 public:
  int Track(const std::vector<MenuEntry>& entries, const MenuLook& look, int x, int y) override;
};

// Fills `menu` with `entries` drawn by `look`; each command's action holds
// its id as data.
void FillOwnerDrawnMenu(QMenu& menu, const std::vector<MenuEntry>& entries, const MenuLook& look);

// Draws the entries of a filled menu, and of its sub-menus, by `look`;
// `entries` describe them (an action is matched to its entry by caption).
// The style is owned by `menu` and replaces one applied before.
void ApplyOwnerDrawnLook(QMenu& menu, const std::vector<MenuEntry>& entries, const MenuLook& look);

}  // namespace tolvar
