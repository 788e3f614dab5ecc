// The tray icon through QSystemTrayIcon. Mouse actions and menu choices are
// delivered to the TrayEvents on the user-interface thread.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include "ports/owner_drawn_menu.h"
#include "ports/tray.h"

namespace tolvar {

// The program's icon (the resource :/tolvar/tolvar.png).
QIcon ProgramIcon();

// How Qt's activation reasons map onto the mouse actions the program tells apart.
TrayMouse TrayMouseFor(QSystemTrayIcon::ActivationReason reason);

class QtTray final : public TrayIcon {
 public:
  explicit QtTray(const QIcon& icon);

  void SetEvents(TrayEvents events) { events_ = std::move(events); }
  // Draws the menu with the program's own look: `look` draws the entries
  // `entries` describes (both must outlive the tray). Where the desktop
  // draws the menu itself (a StatusNotifierItem host), its look stays.
  void SetMenuLook(const MenuLook& look, const std::vector<MenuEntry>& entries) {
    look_ = &look;
    lookEntries_ = &entries;
  }

  // Replaces the tip of the icon, now and whenever it is added again.
  void SetToolTip(const std::u16string& tip);

  bool IsAvailable() const override;
  bool Add(int iconId, const std::u16string& tip) override;
  void Remove(int iconId) override;
  void ShowMenuAtCursor(const std::vector<MenuItem>& items) override;

  // The menu last opened, and the icon's tip.
  QMenu& Menu() { return menu_; }
  QString ToolTip() const { return icon_.toolTip(); }
  // The icon whose activations are delivered.
  QSystemTrayIcon& Icon() { return icon_; }

 private:
  void FillMenu(const std::vector<MenuItem>& items);

  QSystemTrayIcon icon_;
  QMenu menu_;
  TrayEvents events_;
  int iconId_ = 0;
  std::u16string tip_;  // empty: the tip Add is given
  const MenuLook* look_ = nullptr;
  const std::vector<MenuEntry>* lookEntries_ = nullptr;
};

}  // namespace tolvar
