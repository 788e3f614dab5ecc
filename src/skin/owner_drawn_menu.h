// CTolvarMenu: a menu converted to entries the program draws itself, with
// one record (caption and id) per entry, and the look of every entry: white
// captions in the program's own face on a teal band, the highlighted entry
// framed over a blue-to-cyan gradient, an arrow on entries that open a
// sub-menu. An entry is 8 px per character wide, or wider when its caption
// needs more.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/values.h"
#include "ports/owner_drawn_menu.h"

namespace tolvar {

constexpr int kMenuRecordSlots = 30;
constexpr int kSubMenuId = -1;
constexpr int kTopLevelSubMenuId = -2;
constexpr int kSeparatorId = 0;

constexpr int kMenuCharWidth = 8;
constexpr int kMenuEntryHeight = 20;
constexpr int kMenuSeparatorHeight = 1;
constexpr int kMenuCaptionIndent = 10;
constexpr int kMenuSeparatorIndent = 25;
constexpr int kMenuCaptionRightMargin = 6;  // between a caption and the entry's right edge
constexpr int kMenuArrowSpace = 16;         // right of a sub-menu entry's caption, the arrow inside
constexpr int kMenuArrowWidth = 4;          // the arrow: a triangle pointing right
constexpr int kMenuArrowRightMargin = 7;
constexpr Rgb kMenuBand{0, 120, 153};
constexpr Rgb kMenuCaption{255, 255, 255};
constexpr Rgb kMenuFrame{0, 0, 0};
constexpr Rgb kMenuGradientFrom{0, 0, 255};
constexpr Rgb kMenuGradientTo{0, 255, 255};
constexpr Rgb kMenuSeparatorTopLeft{255, 0, 0};
constexpr Rgb kMenuSeparatorBottomRight{0, 0, 255};

struct MenuItemRecord {
  std::u16string text;  // the caption, trailing spaces included
  std::int32_t id = 0;  // command id; −1 a sub-menu, −2 a top-level sub-menu, 0 a separator
  friend bool operator==(const MenuItemRecord&, const MenuItemRecord&) = default;
};

// The colours of the highlight's lines, top to bottom, inside a frame
// whose inner height is `innerHeight`: each channel steps by
// (to − from) ÷ height cut toward zero, keeping the low 8 bits.
std::vector<Rgb> HighlightGradient(int innerHeight);

class CTolvarMenu final : public MenuLook {
 public:
  // Replaces the menu by `resource` (its top-level entries) and converts
  // it: records are numbered in the order of a depth-first walk. Entries
  // beyond the 30 records are left out of the converted menu. Captions are
  // drawn in `font`.
  void Load(const std::vector<MenuEntry>& resource, const FontSpec& font);

  int ItemCount() const { return itemCount_; }
  const MenuItemRecord& Record(int index) const { return items_[index]; }
  // The converted top-level entries.
  const std::vector<MenuEntry>& Entries() const { return entries_; }
  // The entries of the first top-level sub-menu, the part that is opened.
  const std::vector<MenuEntry>& FirstSubMenu() const;

  TextSize MeasureEntry(Canvas& canvas, int record) const override;
  // Whether the record's entry opens a sub-menu.
  bool OpensSubMenu(int record) const;
  void DrawEntry(Canvas& canvas, int record, const PaintRect& rect, bool highlighted) const override;

 private:
  void Convert(std::vector<MenuEntry>& menu, bool topLevel);

  std::array<MenuItemRecord, kMenuRecordSlots> items_{};
  int itemCount_ = 0;
  std::vector<MenuEntry> entries_;
  FontSpec font_;
};

}  // namespace tolvar
