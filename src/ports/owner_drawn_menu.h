// Menus that the program draws itself: the adapter lays out and opens the
// entries, and asks the core for each entry's size and picture.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ports/canvas.h"

namespace tolvar {

// One entry of a menu: a command (id > 0), a separator (id 0) or a
// sub-menu (its entries). `record` names the entry for the look.
struct MenuEntry {
  MenuEntry() = default;
  MenuEntry(std::u16string caption, int command, std::vector<MenuEntry> subMenu = {})
      : text(std::move(caption)), id(command), entries(std::move(subMenu)) {}

  std::u16string text;
  int id = 0;
  std::vector<MenuEntry> entries;
  int record = -1;
  friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

// How entries look: the size of an entry (its text measured on `canvas`)
// and its picture on a canvas whose origin is the entry's top-left corner.
class MenuLook {
 public:
  virtual ~MenuLook() = default;
  virtual TextSize MeasureEntry(Canvas& canvas, int record) const = 0;
  virtual void DrawEntry(Canvas& canvas, int record, const PaintRect& rect, bool highlighted) const = 0;
};

class OwnerDrawnMenus {
 public:
  virtual ~OwnerDrawnMenus() = default;
  // Opens `entries` as a pop-up menu at the screen point (x, y), sub-menus
  // opening from their entries, and returns once it closes: the id of the
  // chosen command, or 0 when none was chosen.
  virtual int Track(const std::vector<MenuEntry>& entries, const MenuLook& look, int x, int y) = 0;
};

}  // namespace tolvar
