// The ways of choosing a profile from outside the window, wired together:
// the session-bus interface (and through it the command line), the rules
// per application fed by the focus source of the session, the desktop
// notices, the tray icon's tip and the rules dialog.
#pragma once

#include <QWidget>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/focus_source.h"
#include "app/profile_automation.h"
#include "app/window_profile_control.h"
#include "platform/ini/file_io.h"
#include "platform/linux/desktop_notifications.h"
#include "platform/linux/session_bus_service.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/x11_active_window.h"

namespace tolvar {

// applications.ini in the folder of the configuration file.
std::string ApplicationRulesPath(const std::string& configPath);

// What the session offers, asked of the environment and the session bus
// (null: none).
SessionFacts CurrentSessionFacts(GDBusConnection* bus);

class ProfileFeatures final : public ProfileObserver {
 public:
  ProfileFeatures(WindowProfileControl& control, QtTray& tray, QWidget* dialogParent);
  ~ProfileFeatures() override;
  ProfileFeatures(const ProfileFeatures&) = delete;
  ProfileFeatures& operator=(const ProfileFeatures&) = delete;

  // After start-up: reads the rules, takes the bus name, starts the focus
  // source and shows the profile in the tray icon's tip.
  void Start(const std::string& configPath);

  // The command of a tray-menu or window-menu entry: true when it was the
  // rules dialog's.
  bool OnCommand(int command);
  void OpenRulesDialog();

  FocusSourceKind FocusSource() const { return focusSource_; }

  // ProfileObserver: the tray icon's tip.
  void ProfileChanged(int profile) override;
  void DpiLevelChanged(int level) override;
  void ConnectedChanged(bool) override {}

 private:
  void WindowActivated(const WindowIdentity& window);
  // Reads the rules again when the file changed since they were read (an
  // edit by hand takes effect at the next window that comes to the front).
  void ReadRulesWhenChanged();
  void StartFocusSource();
  void ShowTip();

  WindowProfileControl& control_;
  QtTray& tray_;
  QWidget* dialogParent_;
  std::string rulesPath_;
  FileIdentity rulesVersion_;
  bool rulesRead_ = false;
  SessionBusService bus_;
  std::unique_ptr<DesktopNotifications> notifications_;
  std::unique_ptr<ProfileAutomation> automation_;
  X11ActiveWindow x11_;
  FocusSourceKind focusSource_ = FocusSourceKind::None;
  std::deque<WindowIdentity> seenWindows_;  // the latest activated, for the dialog's list
};

}  // namespace tolvar
