#include "skin/owner_drawn_menu.h"

#include <algorithm>

namespace tolvar {

namespace {

std::uint8_t GradientChannel(std::uint8_t from, std::uint8_t to, int innerHeight, int line) {
  const int step = static_cast<int>(static_cast<double>(to - from) / innerHeight);
  return static_cast<std::uint8_t>(from + step * line);
}

void FillFrame(Canvas& canvas, const PaintRect& r, Rgb colour) {
  canvas.FillRect({r.x, r.y, r.width, 1}, colour);
  canvas.FillRect({r.x, r.y + r.height - 1, r.width, 1}, colour);
  canvas.FillRect({r.x, r.y, 1, r.height}, colour);
  canvas.FillRect({r.x + r.width - 1, r.y, 1, r.height}, colour);
}

// A 3-D rectangle: top and left edges in one colour, then right and bottom
// in the other, drawn over them.
void Fill3dRect(Canvas& canvas, const PaintRect& r, Rgb topLeft, Rgb bottomRight) {
  canvas.FillRect({r.x, r.y, r.width - 1, 1}, topLeft);
  canvas.FillRect({r.x, r.y, 1, r.height - 1}, topLeft);
  canvas.FillRect({r.x + r.width - 1, r.y, 1, r.height}, bottomRight);
  canvas.FillRect({r.x, r.y + r.height - 1, r.width, 1}, bottomRight);
}

// A triangle pointing right, `height` pixels high, its tip at the right.
void DrawArrow(Canvas& canvas, int left, int centreY, Rgb colour) {
  for (int column = 0; column < kMenuArrowWidth; ++column) {
    const int half = kMenuArrowWidth - 1 - column;
    canvas.FillRect({left + column, centreY - half, 1, 2 * half + 1}, colour);
  }
}

}  // namespace

std::vector<Rgb> HighlightGradient(int innerHeight) {
  std::vector<Rgb> lines;
  for (int y = 0; y < innerHeight; ++y) {
    lines.push_back({GradientChannel(kMenuGradientFrom.r, kMenuGradientTo.r, innerHeight, y),
                     GradientChannel(kMenuGradientFrom.g, kMenuGradientTo.g, innerHeight, y),
                     GradientChannel(kMenuGradientFrom.b, kMenuGradientTo.b, innerHeight, y)});
  }
  return lines;
}

void CTolvarMenu::Load(const std::vector<MenuEntry>& resource, const FontSpec& font) {
  font_ = font;
  itemCount_ = 0;
  entries_ = resource;
  Convert(entries_, true);
}

void CTolvarMenu::Convert(std::vector<MenuEntry>& menu, bool topLevel) {
  for (std::size_t p = 0; p < menu.size(); ++p) {
    if (itemCount_ >= kMenuRecordSlots) {
      menu.resize(p);
      return;
    }
    MenuEntry& entry = menu[p];
    const bool subMenu = !entry.entries.empty();
    if (subMenu) entry.id = topLevel ? kTopLevelSubMenuId : kSubMenuId;
    items_[itemCount_] = {entry.text, entry.id};
    entry.record = itemCount_++;
    if (subMenu) Convert(entry.entries, false);
  }
}

const std::vector<MenuEntry>& CTolvarMenu::FirstSubMenu() const {
  static const std::vector<MenuEntry> none;
  for (const MenuEntry& entry : entries_) {
    if (!entry.entries.empty()) return entry.entries;
  }
  return none;
}

bool CTolvarMenu::OpensSubMenu(int record) const {
  return record >= 0 && record < itemCount_ &&
         (items_[record].id == kSubMenuId || items_[record].id == kTopLevelSubMenuId);
}

TextSize CTolvarMenu::MeasureEntry(Canvas& canvas, int record) const {
  if (record < 0 || record >= itemCount_) return {};
  const MenuItemRecord& item = items_[record];
  const int perCharacter = kMenuCharWidth * static_cast<int>(item.text.size());
  if (item.id == kSeparatorId) return {perCharacter, kMenuSeparatorHeight};
  const TextSize text = canvas.MeasureText(item.text, font_);
  const int needed =
      kMenuCaptionIndent + text.width + (OpensSubMenu(record) ? kMenuArrowSpace : kMenuCaptionRightMargin);
  return {std::max(perCharacter, needed), std::max(kMenuEntryHeight, text.height + 2)};
}

void CTolvarMenu::DrawEntry(Canvas& canvas, int record, const PaintRect& rect, bool highlighted) const {
  if (record < 0 || record >= itemCount_) return;
  const MenuItemRecord& item = items_[record];
  if (item.id == kSeparatorId) {
    Fill3dRect(canvas, {rect.x + kMenuSeparatorIndent, rect.y, rect.width - kMenuSeparatorIndent, rect.height},
               kMenuSeparatorTopLeft, kMenuSeparatorBottomRight);
    return;
  }
  if (highlighted) {
    FillFrame(canvas, rect, kMenuFrame);
    const PaintRect inner{rect.x + 1, rect.y + 1, rect.width - 2, rect.height - 2};
    const std::vector<Rgb> lines = HighlightGradient(inner.height);
    for (int y = 0; y < inner.height; ++y) canvas.FillRect({inner.x, inner.y + y, inner.width, 1}, lines[y]);
  } else {
    canvas.FillRect(rect, kMenuBand);
  }
  const TextSize text = canvas.MeasureText(item.text, font_);
  canvas.DrawText(rect.x + kMenuCaptionIndent, rect.y + (rect.height - text.height) / 2, item.text, font_,
                  kMenuCaption);
  if (OpensSubMenu(record)) {
    DrawArrow(canvas, rect.x + rect.width - kMenuArrowRightMargin - kMenuArrowWidth, rect.y + rect.height / 2,
              kMenuCaption);
  }
}

}  // namespace tolvar
