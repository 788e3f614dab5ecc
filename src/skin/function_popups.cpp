#include "skin/function_popups.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "config/button_catalogue.h"
#include "skin/fonts.h"
#include "skin/popup_keys.h"

namespace tolvar {

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// The size of a mask image; 0 x 0 when it cannot be read.
std::pair<int, int> MaskSize(ImageFileReader& reader, const std::string& path) {
  const std::unique_ptr<ImageSource> image = reader.ReadPixels(path);
  if (!image) return {0, 0};
  return {image->Width(), image->Height()};
}

// The categories of the first popup: the secondary popup's item count, its
// offset from the first popup's top in item heights, and the code of item 0.
struct Category {
  int menuItem;
  int count;  // < 0: the number of user macros
  int topOffsetItems;
  std::int32_t codeBase;
};
constexpr std::array<Category, 4> kCategories{{
    {7, 6, 1, 10},
    {8, 10, -2, 20},
    {9, -1, 0, 40},  // offset 9 − the number of user macros
    {10, 8, 2, 30},
}};

const Category* CategoryOf(int menuItem) {
  for (const Category& c : kCategories) {
    if (c.menuItem == menuItem) return &c;
  }
  return nullptr;
}

void CopyBand(Canvas& canvas, const std::shared_ptr<const LayerImage>& layer, int width, int itemHeight, int item) {
  if (layer && item != kNone && width > 0 && itemHeight > 0) {
    canvas.CopyFromLayer(*layer, {0, (item - 1) * itemHeight, width, itemHeight});
  }
}

void CopyWhole(Canvas& canvas, const std::shared_ptr<const LayerImage>& layer, int width, int height) {
  if (layer && width > 0 && height > 0) canvas.CopyFromLayer(*layer, {0, 0, width, height});
}

// The secondary popup's size and place for a category of the first popup.
struct SubMenuPlacement {
  int count = 0;  // items
  Point origin;   // screen position
};

// count: 6, 10, 8 or the user macros for items 7, 8, 10, 9; origin beside
// the first popup at (left + menuWidth, top + the category's offset).
SubMenuPlacement PlaceSubMenu(int menuItem, int userMacroCount, Point menuOrigin, int menuWidth, int menuItemHeight) {
  const Category* category = CategoryOf(menuItem);
  if (category == nullptr) return {0, {menuOrigin.x + menuWidth, menuOrigin.y}};
  const bool macros = category->count < 0;
  const int count = macros ? userMacroCount : category->count;
  const int offset = macros ? 9 - userMacroCount : category->topOffsetItems;
  return {count, {menuOrigin.x + menuWidth, menuOrigin.y + offset * menuItemHeight}};
}

// The code of secondary item b of category `menuItem` (7..10); none for others.
std::optional<std::int32_t> SubMenuItemCode(int menuItem, int item) {
  const Category* category = CategoryOf(menuItem);
  if (category == nullptr) return std::nullopt;
  return category->codeBase + item;
}

// Item 1..count under (x, y) of a column of bands; kNone for none.
int HitBand(int x, int y, int width, int itemHeight, int count) {
  for (int i = 1; i <= count; ++i) {
    if (0 <= x && x < width && (i - 1) * itemHeight <= y && y < i * itemHeight) return i;
  }
  return kNone;
}

bool Contains(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// A popup item's label centred in its band, red when hovered.
void DrawPopupLabel(Canvas& canvas, const std::u16string& text, std::uint8_t verSel, int width, int itemHeight,
                    int item, bool hovered) {
  if (text.empty()) return;
  const FontSpec& font = verSel != 0 ? kFontEnglish : kFontOther;
  const TextSize size = canvas.MeasureText(text, font);
  canvas.DrawText((width - size.width) / 2, (item - 1) * itemHeight + (itemHeight - size.height) / 2, text, font,
                  hovered ? kRed : kWhite);
}

}  // namespace

// ---- CMenuDlg ----

CMenuDlg::CMenuDlg(PopupContext ctx) : ctx_(std::move(ctx)) {
  window_ = ctx_.windows.Create(*this, nullptr);
  window_->SetTitle(kMenuWindowTitle);
  const auto [w, h] = MaskSize(ctx_.imageReader, ctx_.skinsDir + "/menu_mask.jpg");
  width_ = w;
  itemHeight_ = h / kMenuItems;
  window_->SetShape(Region(Rect{0, 0, width_, kMenuItems * itemHeight_ + 1}));
  ctx_.state.MenuHover = kNone;
  ctx_.state.MenuPressed = false;
  window_->Move(ctx_.state.PopupOrigin.x, ctx_.state.PopupOrigin.y, kPopupCreateSize, kPopupCreateSize);
  window_->Show();
}

CMenuDlg::~CMenuDlg() {
  sub_.reset();  // the secondary popup's window goes before its owner's
  ctx_.state.SubMenuOpen = false;
}

Rect CMenuDlg::ScreenRect() const {
  const Point origin = window_->Origin();
  return {origin.x, origin.y, origin.x + width_, origin.y + kMenuItems * itemHeight_};
}

CSubMenuDlg* CMenuDlg::SubMenuAt(Point screen) {
  return sub_ && Contains(sub_->ScreenRect(), screen) ? sub_.get() : nullptr;
}

bool CMenuDlg::OnHeldPointerMove(Point screen) {
  if (closed_) return false;
  if (CSubMenuDlg* sub = SubMenuAt(screen)) {
    const Point origin = sub->window_->Origin();
    sub->OnMouseMove(screen.x - origin.x, screen.y - origin.y);
    return true;
  }
  if (!Contains(ScreenRect(), screen)) return false;
  const Point origin = window_->Origin();
  OnMouseMove(screen.x - origin.x, screen.y - origin.y);
  return true;
}

bool CMenuDlg::OnHeldPointerUp(Point screen) {
  if (closed_) return false;
  if (CSubMenuDlg* sub = SubMenuAt(screen)) {
    const Point origin = sub->window_->Origin();
    sub->OnMouseMove(screen.x - origin.x, screen.y - origin.y);
    sub->OnLButtonUp(screen.x - origin.x, screen.y - origin.y);
    return true;
  }
  if (!Contains(ScreenRect(), screen)) return false;
  const Point origin = window_->Origin();
  OnMouseMove(screen.x - origin.x, screen.y - origin.y);
  OnLButtonUp(screen.x - origin.x, screen.y - origin.y);
  return true;
}

void CMenuDlg::OnMouseMove(int x, int y) {
  // Pressed here and dragged, this popup keeps the pointer: a move over the
  // secondary popup belongs to it, and the category stays hovered.
  const Point origin = window_->Origin();
  if (CSubMenuDlg* sub = SubMenuAt({origin.x + x, origin.y + y})) {
    const Point subOrigin = sub->window_->Origin();
    sub->OnMouseMove(origin.x + x - subOrigin.x, origin.y + y - subOrigin.y);
    return;
  }
  const int hover = HitBand(x, y, width_, itemHeight_, kMenuHitBands);
  if (hover == ctx_.state.MenuHover) return;
  ctx_.state.MenuHover = hover;
  window_->Invalidate();
  SyncSubMenu();
}

void CMenuDlg::OnLButtonDown(int, int) {
  ctx_.state.MenuPressed = true;
  window_->Invalidate();
}

void CMenuDlg::OnLButtonUp(int x, int y) {
  const Point origin = window_->Origin();
  if (CSubMenuDlg* sub = SubMenuAt({origin.x + x, origin.y + y})) {
    ctx_.state.MenuPressed = false;
    const Point subOrigin = sub->window_->Origin();
    sub->OnLButtonUp(origin.x + x - subOrigin.x, origin.y + y - subOrigin.y);
    return;
  }
  ctx_.state.MenuPressed = false;
  window_->Invalidate();
  const int item = ctx_.state.MenuHover;
  if (item < 1 || item > kButtonCount) return;
  AssignButtonFunction(ctx_.settings, ctx_.state.EditedButton - main_row::kAssignments.first, MainPopupItemCode(item));
  Close();
  if (ctx_.afterChoice) ctx_.afterChoice();
}

void CMenuDlg::OnCancel() {
  if (closed_) return;
  Close();
  if (ctx_.afterChoice) ctx_.afterChoice();
}

bool CMenuDlg::OnNavigationKey(NavigationKey key) { return DriveFunctionPopup(*this, ctx_.state, key); }

std::vector<PopupItem> CMenuDlg::Items() const {
  std::vector<PopupItem> items;
  for (int i = 1; i <= kMenuItems; ++i) {
    items.push_back({FunctionLabel(ctx_.labels, i),
                     {0, (i - 1) * itemHeight_, width_, i * itemHeight_},
                     i == ctx_.state.MenuHover});
  }
  return items;
}

void CMenuDlg::OnPaint(Canvas& canvas, LayerImages& images) {
  const int height = kMenuItems * itemHeight_ + 1;
  CopyWhole(canvas, images.Load(ctx_.skinsDir + "/menu_normal.jpg"), width_, height);
  const char* overlay = ctx_.state.MenuPressed ? "/menu_down.jpg" : "/menu_over.jpg";
  CopyBand(canvas, images.Load(ctx_.skinsDir + overlay), width_, itemHeight_, ctx_.state.MenuHover);
  for (int i = 1; i <= kMenuItems; ++i) {
    DrawPopupLabel(canvas, FunctionLabel(ctx_.labels, i), ctx_.verSel, width_, itemHeight_, i,
                   i == ctx_.state.MenuHover);
  }
}

void CMenuDlg::SyncSubMenu() {
  const int category = CategoryOf(ctx_.state.MenuHover) != nullptr ? ctx_.state.MenuHover : kNone;
  if (category == subCategory_ || closed_) return;
  sub_.reset();
  ctx_.state.SubMenuOpen = false;
  subCategory_ = category;
  if (category == kNone) return;
  sub_ = std::make_unique<CSubMenuDlg>(*this);
  ctx_.state.SubMenuOpen = true;
}

void CMenuDlg::Close() {
  closed_ = true;
  if (sub_) sub_->window_->Hide();
  window_->Hide();
}

// ---- CSubMenuDlg ----

CSubMenuDlg::CSubMenuDlg(CMenuDlg& menu) : menu_(menu), ctx_(menu.ctx_) {
  window_ = ctx_.windows.Create(*this, menu.window_.get());
  const auto [w, h] = MaskSize(ctx_.imageReader, ctx_.skinsDir + "/advanced menu_mask.jpg");
  width_ = w;
  itemHeight_ = h / kSubMenuMaskRows;
  const SubMenuPlacement place =
      PlaceSubMenu(ctx_.state.MenuHover, ctx_.userMacros.count, menu.window_->Origin(), menu.width_, menu.itemHeight_);
  if (CategoryOf(ctx_.state.MenuHover) != nullptr) ctx_.state.SubMenuCount = place.count;
  const int count = ctx_.state.SubMenuCount;
  window_->SetShape(count > 0 ? Region(Rect{0, 0, width_, count * itemHeight_ + 1}) : Region());
  ctx_.state.CloseMenuRequest = false;
  window_->Move(place.origin.x, place.origin.y, kPopupCreateSize, kSubMenuCreateHeight);
  window_->Show();
}

Rect CSubMenuDlg::ScreenRect() const {
  const Point origin = window_->Origin();
  return {origin.x, origin.y, origin.x + width_, origin.y + std::max(ctx_.state.SubMenuCount, 0) * itemHeight_};
}

std::u16string CSubMenuDlg::Label(int item) const {
  if (ctx_.state.MenuHover == 9) {
    const int slot = item - 1;
    if (slot < 0 || slot >= kMacroTableSlots) return {};
    const auto& name = ctx_.userMacros.slots[static_cast<std::size_t>(slot)].name;
    return std::u16string(name.data(), std::u16string_view(name.data(), name.size()).find(u'\0'));
  }
  const std::optional<std::int32_t> code = SubMenuItemCode(ctx_.state.MenuHover, item);
  return code ? FunctionLabel(ctx_.labels, *code) : std::u16string();
}

void CSubMenuDlg::OnMouseMove(int x, int y) {
  const int hover = HitBand(x, y, width_, itemHeight_, ctx_.state.SubMenuCount);
  if (hover == hovered_) return;
  hovered_ = hover;
  window_->Invalidate();
}

void CSubMenuDlg::OnLButtonDown(int, int) {
  pressed_ = true;
  window_->Invalidate();
}

void CSubMenuDlg::OnLButtonUp(int, int) {
  pressed_ = false;
  if (hovered_ == kNone) return;
  if (const std::optional<std::int32_t> code = SubMenuItemCode(ctx_.state.MenuHover, hovered_)) {
    ctx_.state.SubMenuCode = *code;
  }
  AssignButtonFunction(ctx_.settings, ctx_.state.EditedButton - main_row::kAssignments.first, ctx_.state.SubMenuCode);
  ctx_.state.CloseMenuRequest = true;
  window_->Invalidate();
  menu_.Close();
  if (ctx_.afterChoice) ctx_.afterChoice();
}

void CSubMenuDlg::OnCancel() { window_->Hide(); }

std::vector<PopupItem> CSubMenuDlg::Items() const {
  std::vector<PopupItem> items;
  for (int b = 1; b <= ctx_.state.SubMenuCount; ++b) {
    items.push_back({Label(b), {0, (b - 1) * itemHeight_, width_, b * itemHeight_}, b == hovered_});
  }
  return items;
}

void CSubMenuDlg::OnPaint(Canvas& canvas, LayerImages& images) {
  const int count = ctx_.state.SubMenuCount;
  if (count <= 0) return;
  CopyWhole(canvas, images.Load(ctx_.skinsDir + "/advanced menu_normal.jpg"), width_, count * itemHeight_ + 1);
  const char* overlay = pressed_ ? "/advanced menu_down.jpg" : "/advanced menu_over.jpg";
  CopyBand(canvas, images.Load(ctx_.skinsDir + overlay), width_, itemHeight_, hovered_);
  for (int b = 1; b <= count; ++b) {
    DrawPopupLabel(canvas, Label(b), ctx_.verSel, width_, itemHeight_, b, b == hovered_);
  }
}

}  // namespace tolvar
