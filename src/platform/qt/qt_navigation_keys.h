// Qt's key presses as the keys that move the focus and press controls.
#pragma once

#include <QKeyEvent>
#include <optional>

#include "ports/navigation_key.h"

namespace tolvar {

// The navigation key of a press without Ctrl or Alt; nothing for others.
std::optional<NavigationKey> NavigationKeyOf(const QKeyEvent& event);

}  // namespace tolvar
