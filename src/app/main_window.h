// The main window, CTolvarDlg: its initialisation in the fixed start-up
// order and the handlers of the messages it receives. The native window is
// behind the WindowHost port; the host forwards its events here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "app/window_commands.h"
#include "app/workers.h"
#include "skin/skin_layout.h"
#include "platform/ports/clock.h"
#include "platform/ports/dialogs.h"
#include "platform/ports/hid_backend.h"
#include "platform/ports/image_source.h"
#include "platform/ports/ini_store.h"
#include "platform/ports/program_launcher.h"
#include "platform/ports/system_settings.h"
#include "platform/ports/thread_priority.h"
#include "platform/ports/tray.h"
#include "platform/ports/window_host.h"
#include "platform/ports/window_menu.h"

namespace tolvar {

struct MainWindowPorts {
  IniStore& ini;
  Dialogs& dialogs;
  WindowHost& window;
  HidBackend& hid;
  ImageFileReader& images;
  SystemSettings& system;
  TrayIcon& tray;
  WindowMenu& windowMenu;
  Clock& clock;
  ProgramLauncher& programs;
  // Raises the reader's and the player's thread; may be null.
  ThreadPriority* threadPriority = nullptr;
};

class CTolvarDlg {
 public:
  CTolvarDlg(AppState& state, MainWindowPorts ports, std::u16string commandLine);
  ~CTolvarDlg();

  // Runs once before the window is first shown. Returns true; when the mouse
  // is absent the window has been destroyed by the time it returns.
  bool OnInitDialog();

  // Paints nothing; minimises once when the program was started hidden.
  bool OnEraseBkgnd();

  // Arrival and removal notices of HID devices.
  void OnDeviceChange(DeviceEvent event, const std::string& path);

  // Tray callback, tray menu commands, window menu commands, the window
  // system's close, the session's end and the resume from sleep.
  int OnTrayNotify(int iconId, TrayMouse mouse);
  void OnCommand(int command);
  void OnSysCommand(int command);
  void OnClose();
  void OnPowerBroadcast();

  // The look of the window's child controls.
  ControlColours OnCtlColor() const;

  // The key filter in front of the window's own keyboard handling: true
  // when the key is swallowed.
  bool FilterKeyMessage(int message, int virtualKey);

  // Sends the whole profile to the mouse and saves it.
  void Apply();

 private:
  void EndWithoutMouse();
  SkinSource SkinFiles();

  AppState& state_;
  MainWindowPorts ports_;
  std::u16string commandLine_;
  WindowCommands commands_;
  std::unique_ptr<Workers> workers_;
};

}  // namespace tolvar
