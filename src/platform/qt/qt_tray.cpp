#include "platform/qt/qt_tray.h"

#include <QAction>
#include <QCursor>
#include <QString>

#include "platform/qt/qt_owner_drawn_menu.h"

namespace tolvar {

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/tolvar/tolvar.png")); }

TrayMouse TrayMouseFor(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    // A single click is the activation every host sends (a StatusNotifierItem
    // host sends nothing else): it shows the window as the double-click does.
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
      return TrayMouse::LeftDoubleClick;
    case QSystemTrayIcon::Context:
      return TrayMouse::RightButtonUp;
    default:
      return TrayMouse::Other;
  }
}

QtTray::QtTray(const QIcon& icon) {
  icon_.setIcon(icon);
  QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_, [this](QSystemTrayIcon::ActivationReason reason) {
    if (events_.notify) events_.notify(iconId_, TrayMouseFor(reason));
  });
}

bool QtTray::IsAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool QtTray::Add(int iconId, const std::u16string& tip) {
  if (icon_.isVisible()) return false;
  iconId_ = iconId;
  icon_.setToolTip(QString::fromStdU16String(tip_.empty() ? tip : tip_));
  icon_.show();
  return IsAvailable();
}

void QtTray::SetToolTip(const std::u16string& tip) {
  tip_ = tip;
  icon_.setToolTip(QString::fromStdU16String(tip));
}

void QtTray::Remove(int iconId) {
  if (iconId == iconId_) icon_.hide();
}

void QtTray::FillMenu(const std::vector<MenuItem>& items) {
  menu_.clear();
  for (const MenuItem& item : items) {
    QAction* action = menu_.addAction(QString::fromStdU16String(item.text));
    const int command = item.command;
    QObject::connect(action, &QAction::triggered, &menu_, [this, command] {
      if (events_.command) events_.command(command);
    });
  }
  if (look_ != nullptr) ApplyOwnerDrawnLook(menu_, *lookEntries_, *look_);
}

void QtTray::ShowMenuAtCursor(const std::vector<MenuItem>& items) {
  FillMenu(items);
  menu_.popup(QCursor::pos());
}

}  // namespace tolvar
