// The main window's keyboard: the focus over the painted controls, their
// presses (through the same handlers as a click) and the function popup.
#include <algorithm>
#include <array>

#include "app/keyboard_focus.h"
#include "app/main_window.h"
#include "skin/hot_spots.h"
#include "skin/pages.h"

namespace tolvar {

namespace {

int HoverOf(const WindowViewState& view, HotSpotList list) {
  switch (list) {
    case HotSpotList::Colour:
      return view.HoverColour;
    case HotSpotList::Advanced:
      return view.HoverAdvanced;
    case HotSpotList::Main:
      break;
  }
  return view.HoverMain;
}

constexpr ControlId kLowerFireTime{HotSpotList::Advanced, advanced_row::kLowerFireTime};
constexpr ControlId kRaiseFireTime{HotSpotList::Advanced, advanced_row::kRaiseFireTime};

}  // namespace

bool CTolvarDlg::OnNavigationKey(NavigationKey key) {
  if (menu_ && !menu_->Closed()) {
    const bool used = menu_->OnNavigationKey(key);
    if (menu_->Closed()) ports_.window.Invalidate();  // the paint destroys it
    return used;
  }
  const std::vector<WindowControl> controls = Controls();
  const WindowControl* focused = view_.Focus.shown ? FindControl(controls, view_.Focus.control) : nullptr;
  switch (key) {
    case NavigationKey::Tab:
    case NavigationKey::BackTab: {
      // On the advanced page the macro editor's widgets follow the painted controls.
      const bool wrap = PageOf(state_.CurrentPage) != PageKind::Advanced;
      const std::optional<ControlId> next = NextTabStop(controls, view_.Focus.control, key == NavigationKey::Tab, wrap);
      if (!next) {
        view_.Focus.shown = false;
        ports_.window.Invalidate();
        return false;
      }
      FocusControl(*next);
      return true;
    }
    case NavigationKey::Left:
    case NavigationKey::Right:
    case NavigationKey::Up:
    case NavigationKey::Down:
    case NavigationKey::Home:
    case NavigationKey::End: {
      if (focused == nullptr) {
        if (const auto first = NextTabStop(controls, {}, true, true)) FocusControl(*first);
        return true;
      }
      if (focused->role == ControlRole::Slider) {
        if (key == NavigationKey::Left || key == NavigationKey::Down) PressControl(kLowerFireTime);
        if (key == NavigationKey::Right || key == NavigationKey::Up) PressControl(kRaiseFireTime);
        return true;
      }
      if (const auto next = MoveInGroup(controls, focused->id, key)) FocusControl(*next);
      return true;
    }
    case NavigationKey::Space:
    case NavigationKey::Enter:
      if (focused == nullptr) return false;
      if (focused->role != ControlRole::Slider) PressControl(focused->id);
      return true;
    case NavigationKey::Escape:
      break;
  }
  return false;
}

void CTolvarDlg::OnFocusEntered(bool forward) {
  if (const auto stop = NextTabStop(Controls(), {}, forward, true)) FocusControl(*stop);
}

void CTolvarDlg::FocusControl(ControlId id) {
  view_.Focus = {id, true};
  ports_.window.Invalidate();
}

void CTolvarDlg::PressControl(ControlId id) {
  const std::vector<WindowControl> controls = Controls();
  const WindowControl* control = FindControl(controls, id);
  if (control == nullptr) return;
  // The click happens at the control's centre; afterwards the hover is the
  // real pointer's again.
  const std::array<int, 3> pointerHover = view_.LastHover;
  const Point centre = CentreOf(control->spot);
  OnMouseMove(centre.x, centre.y);
  // Another hot spot over its centre would take the click: press nothing.
  if (HoverOf(view_, id.list) == id.row) {
    const bool shown = view_.Focus.shown;
    OnLButtonDown(centre.x, centre.y);
    OnLButtonUp(centre.x, centre.y);
    view_.Focus.shown = shown;
  }
  view_.HoverMain = pointerHover[0];
  view_.HoverColour = pointerHover[1];
  view_.HoverAdvanced = pointerHover[2];
  view_.LastHover = pointerHover;
  ports_.window.Invalidate();
}

void CTolvarDlg::SetControlValue(ControlId id, int value) {
  const std::vector<WindowControl> controls = Controls();
  const WindowControl* control = FindControl(controls, id);
  if (control == nullptr || !control->value) return;
  const int target = std::clamp(value, control->value->minimum, control->value->maximum);
  for (int at = control->value->current; at != target; at += at < target ? 1 : -1) {
    PressControl(at < target ? kRaiseFireTime : kLowerFireTime);
  }
}

}  // namespace tolvar
