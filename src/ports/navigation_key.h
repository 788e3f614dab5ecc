// The keys that move the keyboard focus over the painted controls and the
// popups and press what it rests on, as the window hands them to the core.
#pragma once

namespace tolvar {

enum class NavigationKey { Tab, BackTab, Left, Right, Up, Down, Home, End, Space, Enter, Escape };

}  // namespace tolvar
