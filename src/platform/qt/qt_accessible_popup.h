// The skinned popups (the function popups and the warning) as accessible
// objects: a menu or a dialog whose children are the popup's items, each
// with its name, lit state and the press action, which is a click at the
// item's centre through the popup's own handlers.
#pragma once

#include <QAccessible>
#include <QObject>

namespace tolvar {

// The interface of a skinned popup's widget; null for any other object.
QAccessibleInterface* AccessiblePopupFor(QObject* object);

// After a popup repainted: its lit item, when it changed, gets the focus
// event a screen reader follows.
void AnnounceLitPopupItem(QObject* popup);

}  // namespace tolvar
