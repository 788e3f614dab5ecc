// The tray icon through QSystemTrayIcon. Mouse actions and menu choices are
// delivered to the TrayEvents on the user-interface thread.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

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

  bool IsAvailable() const override;
  bool Add(int iconId, const std::u16string& tip) override;
  void Remove(int iconId) override;
  void ShowMenuAtCursor(const std::vector<MenuItem>& items) override;

  // The menu last opened.
  QMenu& Menu() { return menu_; }

 private:
  void FillMenu(const std::vector<MenuItem>& items);

  QSystemTrayIcon icon_;
  QMenu menu_;
  TrayEvents events_;
  int iconId_ = 0;
};

}  // namespace tolvar
