// The main window, CTolvarDlg: its initialisation in the fixed start-up
// order and the handlers of the messages it receives. The native window is
// behind the WindowHost port; the host forwards its events here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/app_model.h"
#include "app/app_state.h"
#include "app/macro_page.h"
#include "app/program_menus.h"
#include "app/recording_guard.h"
#include "app/save_failure.h"
#include "app/startup.h"
#include "app/window_commands.h"
#include "app/window_controls.h"
#include "app/window_view_state.h"
#include "app/workers.h"
#include "ports/clock.h"
#include "ports/desktop_dialogs.h"
#include "ports/hid_backend.h"
#include "ports/image_source.h"
#include "ports/ini_store.h"
#include "ports/key_capture.h"
#include "ports/macro_controls.h"
#include "ports/message_boxes.h"
#include "ports/navigation_key.h"
#include "ports/owner_drawn_menu.h"
#include "ports/pointer_settings.h"
#include "ports/popup_window.h"
#include "ports/program_launcher.h"
#include "ports/thread_priority.h"
#include "ports/time_of_day.h"
#include "ports/tray.h"
#include "ports/window_host.h"
#include "ports/window_menu.h"
#include "skin/function_popups.h"
#include "skin/skin_layout.h"
#include "skin/warning_dlg.h"

namespace tolvar {

// What the advanced page's macro editor needs besides the window's ports.
struct MacroEditorPorts {
  MacroControlFactory& controls;
  KeyCapture& keys;
  TimeOfDay& time;
  OwnerDrawnMenus& menus;
};

struct MainWindowPorts {
  IniStore& ini;
  MessageBoxes& dialogs;
  WindowHost& window;
  HidBackend& hid;
  ImageFileReader& images;
  PointerSettings& system;
  TrayIcon& tray;
  WindowMenu& windowMenu;
  Clock& clock;
  ProgramLauncher& programs;
  DesktopDialogs& desktop;
  PopupWindows& popups;
  MacroEditorPorts macroEditor;
  // Raises the reader's and the player's thread; may be null.
  ThreadPriority* threadPriority = nullptr;
};

class CTolvarDlg : private ModelView {
 public:
  CTolvarDlg(AppState& state, MainWindowPorts ports, std::u16string commandLine);
  ~CTolvarDlg() override;

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

  // The mouse in the window, at client coordinates: hovering, the left
  // button's press and release.
  void OnMouseMove(int x, int y);
  void OnLButtonDown(int x, int y);
  void OnLButtonUp(int x, int y);
  // Before each paint: a function popup that a choice has closed is destroyed.
  void OnPaint();

  // The look of the window's child controls.
  ControlColours OnCtlColor() const;

  // The key filter in front of the window's own keyboard handling: true
  // when the key is swallowed.
  bool FilterKeyMessage(KeyEvent key);
  // A right-button release anywhere in the window or its controls, at a
  // screen point, before the control under it sees it.
  void OnRightButtonUp(int screenX, int screenY);

  // What the window shows beyond the model; the paint reads it.
  const WindowViewState& ViewState() const { return view_; }
  WindowViewState& ViewState() { return view_; }

  // The two owner-drawn menus (the tray draws its menu with them).
  const ProgramMenus& Menus() const { return menus_; }

  // The use cases, for every caller.
  AppModel& Model() { return model_; }

  // The keyboard over the painted controls and the function popup; false
  // when the key is not for them (the window's widgets then get it).
  bool OnNavigationKey(NavigationKey key);
  // The focus came to the painted controls from the window's widgets.
  void OnFocusEntered(bool forward);
  // The painted controls of the page shown and the header, in reading order.
  std::vector<WindowControl> Controls() const { return ControlsOfPage(state_); }
  // Presses a painted control as a click at its centre does.
  void PressControl(ControlId id);
  // Sets a slider's value by pressing its step buttons.
  void SetControlValue(ControlId id, int value);

 private:
  struct PressTables;

  // ModelView: the one place that repaints after a use case.
  void ModelChanged(const ModelChange& change) override;
  void BeforeMacroListChanges() override;
  std::optional<std::u16string> RepeatCountText() override;
  void ShowRepeatCount(const std::u16string& text) override;

  void EndWithoutMouse();
  void FocusControl(ControlId id);
  // A move or release the window received while it held the pointer since
  // the press that opened the function popup, given to the popup under it;
  // false when no popup lies there.
  bool GiveToPopup(int x, int y, bool release);
  SkinSource SkinFiles();

  // Actions of the press tables; `index` counts from the row's first hot spot.
  void OpenAdvancedPage(int index, Point click);
  void OpenColourPage(int index, Point click);
  void ShowMainPage(int index, Point click);
  void Drag(int index, Point click);
  void ChooseButtonFunction(int button, Point click);
  void SetWheel(int status, Point click);
  void ChooseLevelColour(int level, Point click);
  void ToggleLevel(int level, Point click);
  void SelectLevel(int level, Point click);
  void SelectValue(int cell, Point click);
  void SetPointerSpeed(int speed, Point click);
  void SetWheelLines(int speed, Point click);
  void SetFireTimeFromBar(int index, Point click);
  void RaiseFireTime(int index, Point click);
  void LowerFireTime(int index, Point click);
  void SetReportRate(int speed, Point click);
  void ToggleCycle(int colour, Point click);
  void SetLighting(int ledType, Point click);
  void SetCycleSpeed(int index, Point click);
  void MacroCommand(int index, Point click);  // advanced rows 0..7

  // Actions of the header's release table.
  void SaveCurrentProfile(int index);
  void HideDroppingEdits(int index);
  void ApplyFromHeader(int index);
  void ChooseProfile(int index);
  void Minimise(int index);
  void HideToTray(int index);
  void ImportProfile(int index);
  void ExportProfile(int index);
  void ResetProfiles(int index);
  void ChooseLanguage(int index);
  void OpenGuide(int index);

  AppState& state_;
  RecordingGuard recordingGuard_;  // the dialogs and the window, each ending a recording first
  MainWindowPorts ports_;
  std::u16string commandLine_;
  WindowCommands commands_;
  std::unique_ptr<Workers> workers_;
  ProgramMenus menus_;
  MacroPage macroPage_;
  AppModel model_;
  WindowViewState view_;
  std::unique_ptr<CMenuDlg> menu_;  // the function popup while it is open
};

}  // namespace tolvar
