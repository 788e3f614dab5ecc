// The tray icon, the window commands of the window menu and the tray menu,
// the About box, the reaction to a resume from sleep, the orderly shutdown
// with its detach report, and the keys the main window never lets close it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "macros/key_table.h"
#include "ports/key_capture.h"
#include "ports/tray.h"
#include "ports/window_host.h"
#include "ports/window_menu.h"

namespace tolvar {

constexpr int kTrayIconId = 153;
inline const std::u16string kTrayTip = u"Quarrion DORVEL_KITE7";

// Tray menu commands; both show commands do the same, and both exit commands.
constexpr int kShowWindowCommand = 32801;
constexpr int kExitDriverCommand = 32800;
constexpr int kShowWindowCommandOther = 32837;
constexpr int kExitDriverCommandOther = 32838;
// Opens the rules per application (tray menu and window menu, both languages).
constexpr int kApplicationRulesCommand = 32839;

// System commands (the low four bits of a command are ignored).
constexpr int kAboutCommand = 16;
constexpr int kScMinimize = 0xF020;
constexpr int kScRestore = 0xF120;
constexpr int kScClose = 0xF060;

inline const std::u16string kAboutMenuText = u"&About Tolvar...";
inline const AboutBoxTexts kAboutBox{u"About Tolvar", u"Tolvar Version 1.0"};

// The tray menu of a language (VER_SEL nonzero: English).
const std::vector<MenuItem>& TrayMenuItems(std::uint8_t verSel);
// The text of the entry that opens the rules per application.
std::u16string ApplicationRulesMenuText(std::uint8_t verSel);

// The main window's key filter: true (handled, the key goes no further)
// for an Escape or Enter press and for F10 going down or up, so these keys
// never close the main window.
bool FilterDialogKeys(KeyEvent key);

// Start-up: appends a separator and the About item (command 16) to the
// window menu.
void AddAboutItem(WindowMenu& menu);

class WindowCommands {
 public:
  // `applySettings` sends the whole profile to the mouse again (on resume).
  WindowCommands(AppState& state, WindowHost& window, TrayIcon& tray, WindowMenu& menu,
                 std::function<void()> applySettings);

  void AddTrayIcon();
  void RemoveTrayIcon();
  // Minimises and hides the window and adds the tray icon. Without a tray
  // on the desktop the window is only minimised, so the user can get it back.
  void HideToTray();
  void ShowFromTray();
  // Removes the tray icon, sends the detach report when the feature
  // collection is open, and destroys the main window.
  void ExitProgram();

  // The tray callback: 1 for another icon id, else 0.
  int OnTrayNotify(int iconId, TrayMouse mouse);
  // Menu commands; false for a command that is not one of the tray menu's.
  bool OnCommand(int command);
  // System commands; false when the default processing is to run.
  bool OnSysCommand(int command);
  // A close request that ends the program (the session ends, or the
  // window system closes the window for good).
  void OnClose();
  // The system resumed from sleep: the profile is sent to the mouse again.
  void OnPowerBroadcast();

 private:
  AppState& state_;
  WindowHost& window_;
  TrayIcon& tray_;
  WindowMenu& menu_;
  std::function<void()> applySettings_;
};

}  // namespace tolvar
