// The notification-area (tray) icon of the program.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tolvar {

// The mouse actions on the icon that the program tells apart.
enum class TrayMouse { LeftDoubleClick, RightButtonUp, Other };

struct MenuItem {
  int command = 0;
  std::u16string text;
  friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

// Where an adapter delivers what happens at the icon, on the user-interface
// thread: mouse actions (with the icon id they concern) and the command of
// a chosen menu item.
struct TrayEvents {
  std::function<int(int iconId, TrayMouse mouse)> notify;
  std::function<void(int command)> command;
};

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Whether the desktop shows tray icons at all.
  virtual bool IsAvailable() const = 0;
  // Shows the program's icon with its tip. Adding an icon that is already
  // shown changes nothing. Returns false when the icon could not be shown.
  virtual bool Add(int iconId, const std::u16string& tip) = 0;
  // Removes the icon; removing an absent icon does nothing.
  virtual void Remove(int iconId) = 0;
  // Opens a menu of `items` at the mouse cursor; a chosen item arrives as
  // its command through TrayEvents::command.
  virtual void ShowMenuAtCursor(const std::vector<MenuItem>& items) = 0;
};

}  // namespace tolvar
