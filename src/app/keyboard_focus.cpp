#include "app/keyboard_focus.h"

#include <algorithm>

namespace tolvar {

namespace {

using Index = std::ptrdiff_t;

Index IndexOf(const std::vector<WindowControl>& controls, ControlId id) {
  const auto found = std::find_if(controls.begin(), controls.end(), [&](const WindowControl& c) { return c.id == id; });
  return found != controls.end() ? found - controls.begin() : -1;
}

// The first and one past the last index of the group holding `index`.
std::pair<Index, Index> GroupAround(const std::vector<WindowControl>& controls, Index index) {
  const int group = controls[static_cast<std::size_t>(index)].group;
  Index first = index;
  Index end = index + 1;
  while (first > 0 && controls[static_cast<std::size_t>(first - 1)].group == group) --first;
  while (end < static_cast<Index>(controls.size()) && controls[static_cast<std::size_t>(end)].group == group) ++end;
  return {first, end};
}

// Every Tab stop in order: each control of a group Tab walks through, and
// the checked (else the first) control of a one-stop group.
std::vector<Index> TabStops(const std::vector<WindowControl>& controls) {
  std::vector<Index> stops;
  for (Index i = 0; i < static_cast<Index>(controls.size());) {
    const auto [first, end] = GroupAround(controls, i);
    if (controls[static_cast<std::size_t>(first)].oneTabStop) {
      Index stop = first;
      for (Index j = first; j < end; ++j) {
        if (controls[static_cast<std::size_t>(j)].checked) {
          stop = j;
          break;
        }
      }
      stops.push_back(stop);
    } else {
      for (Index j = first; j < end; ++j) stops.push_back(j);
    }
    i = end;
  }
  return stops;
}

}  // namespace

std::optional<ControlId> NextTabStop(const std::vector<WindowControl>& controls, ControlId current, bool forward,
                                     bool wrap) {
  const std::vector<Index> stops = TabStops(controls);
  if (stops.empty()) return std::nullopt;
  const Index at = IndexOf(controls, current);
  std::optional<Index> next;
  if (at < 0) {
    next = forward ? stops.front() : stops.back();
  } else {
    // A one-stop group counts as one place: its whole range is behind (or ahead of) the focus.
    const auto [first, end] = GroupAround(controls, at);
    const bool oneStop = controls[static_cast<std::size_t>(at)].oneTabStop;
    const Index after = oneStop ? end - 1 : at;
    const Index before = oneStop ? first : at;
    if (forward) {
      const auto found = std::find_if(stops.begin(), stops.end(), [&](Index s) { return s > after; });
      if (found != stops.end())
        next = *found;
      else if (wrap)
        next = stops.front();
    } else {
      const auto found = std::find_if(stops.rbegin(), stops.rend(), [&](Index s) { return s < before; });
      if (found != stops.rend())
        next = *found;
      else if (wrap)
        next = stops.back();
    }
  }
  if (!next) return std::nullopt;
  return controls[static_cast<std::size_t>(*next)].id;
}

std::optional<ControlId> MoveInGroup(const std::vector<WindowControl>& controls, ControlId current, NavigationKey key) {
  const Index at = IndexOf(controls, current);
  if (at < 0) return std::nullopt;
  const auto [first, end] = GroupAround(controls, at);
  const Index count = end - first;
  Index next = at;
  switch (key) {
    case NavigationKey::Left:
    case NavigationKey::Up:
      next = first + (at - first + count - 1) % count;
      break;
    case NavigationKey::Right:
    case NavigationKey::Down:
      next = first + (at - first + 1) % count;
      break;
    case NavigationKey::Home:
      next = first;
      break;
    case NavigationKey::End:
      next = end - 1;
      break;
    default:
      return std::nullopt;
  }
  return controls[static_cast<std::size_t>(next)].id;
}

std::optional<HotSpot> FocusMarkSpot(const AppState& state, const WindowViewState& view) {
  if (!view.Focus.shown) return std::nullopt;
  const std::vector<WindowControl> controls = ControlsOfPage(state);
  const WindowControl* focused = FindControl(controls, view.Focus.control);
  if (focused == nullptr) return std::nullopt;
  return focused->spot;
}

}  // namespace tolvar
