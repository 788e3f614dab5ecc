#include "skin/popup_keys.h"

namespace tolvar {

namespace {

template <typename Popup>
void ClickAt(Popup& popup, Point p) {
  popup.OnLButtonDown(p.x, p.y);
  popup.OnLButtonUp(p.x, p.y);
}

// The item `step` away from `item` in 1..count, wrapping round; from no
// item, Down starts at the first and Up at the last.
int Step(int item, int count, int step) {
  if (item < 1 || item > count) return step > 0 ? 1 : count;
  return (item - 1 + step + count) % count + 1;
}

}  // namespace

bool DriveFunctionPopup(CMenuDlg& menu, const PopupState& state, NavigationKey key) {
  CSubMenuDlg* sub = menu.SubMenu();
  const bool inSubList = sub != nullptr && sub->Hovered() != kNone;
  const bool onCategory = sub != nullptr && state.SubMenuCount > 0;
  switch (key) {
    case NavigationKey::Up:
    case NavigationKey::Down: {
      const int step = key == NavigationKey::Down ? 1 : -1;
      if (inSubList) {
        const Point p = sub->ItemCentre(Step(sub->Hovered(), state.SubMenuCount, step));
        sub->OnMouseMove(p.x, p.y);
      } else {
        const Point p = menu.ItemCentre(Step(state.MenuHover, kMenuItems, step));
        menu.OnMouseMove(p.x, p.y);
      }
      return true;
    }
    case NavigationKey::Right:
    case NavigationKey::Enter:
    case NavigationKey::Space:
      if (inSubList) {
        if (key != NavigationKey::Right) ClickAt(*sub, sub->ItemCentre(sub->Hovered()));
      } else if (onCategory) {
        const Point p = sub->ItemCentre(1);
        sub->OnMouseMove(p.x, p.y);
      } else if (key != NavigationKey::Right && state.MenuHover >= 1 && state.MenuHover <= kMenuItems) {
        ClickAt(menu, menu.ItemCentre(state.MenuHover));
      }
      return true;
    case NavigationKey::Left:
    case NavigationKey::Escape:
      if (inSubList) {
        sub->OnMouseMove(-1, -1);  // off its items: back in the first popup
      } else if (key == NavigationKey::Escape) {
        menu.OnCancel();
      }
      return true;
    case NavigationKey::Tab:
    case NavigationKey::BackTab:
    case NavigationKey::Home:
    case NavigationKey::End:
      return true;  // the focus stays in the popups until a choice or Escape
  }
  return false;
}

bool DriveWarning(WarningDlg& warning, const WarningSkinPage& page, NavigationKey key) {
  switch (key) {
    case NavigationKey::Left:
    case NavigationKey::Right:
    case NavigationKey::Up:
    case NavigationKey::Down:
    case NavigationKey::Tab:
    case NavigationKey::BackTab: {
      const int row = warning.Hover() == kWarningConfirmed ? warning_row::kCancel : warning_row::kConfirm;
      const HotSpot& spot = page.Spot(row);
      warning.OnMouseMove(spot.x + spot.width / 2, spot.y + spot.height / 2);
      return true;
    }
    case NavigationKey::Enter:
    case NavigationKey::Space: {
      if (warning.Hover() != kWarningConfirmed && warning.Hover() != kWarningCancelled) return true;
      const HotSpot& spot =
          page.Spot(warning.Hover() == kWarningConfirmed ? warning_row::kConfirm : warning_row::kCancel);
      ClickAt(warning, {spot.x + spot.width / 2, spot.y + spot.height / 2});
      return true;
    }
    case NavigationKey::Escape:
      warning.OnCancel();
      return true;
    case NavigationKey::Home:
    case NavigationKey::End:
      break;
  }
  return false;
}

}  // namespace tolvar
