// The one shared state of the process, owned by the main window.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "app/control_id.h"
#include "app/macro_hand_over.h"
#include "base/region.h"
#include "base/values.h"
#include "config/profile_settings.h"
#include "device/device_link.h"
#include "device/feature_report.h"
#include "macros/macro.h"
#include "skin/fonts.h"
#include "skin/function_popups.h"
#include "skin/skin_layout.h"

namespace tolvar {

inline const std::u16string kWindowTitle = u"Quarrion DORVEL_KITE7";

struct AppPaths {
  std::string ModuleDir;       // folder of the program file, no trailing '/'
  std::string UserDir;         // per-user folder of the files the program writes; empty: they lie beside the program
  std::string DialogDir;       // where file dialogs start: ModuleDir when writable, else the user's home
  std::string SkinsDir;        // ModuleDir + "/skins"
  std::string ConfigPath;      // SkinsDir + "/config/config.ini" (UserDir + "/config.ini")
  std::string MacroFilePath;   // ModuleDir (or UserDir) + "/Macro_EN.dat" or "/Macro_CN.dat"
  std::string FixedMacroPath;  // ModuleDir + "/constMacro.dat"
  std::string MaskImagePath;   // SkinsDir + "/main_mask.jpg"
};

struct AppState {
  AppPaths Paths;
  std::u16string ApplicationName;  // program file name without folder and extension

  Shared<int> CurConfig = 0;                 // read by the player thread when it saves the DPI level
  std::uint8_t VER_SEL = 0;                  // nonzero: English
  std::atomic<std::uint8_t> CurrentPage{0};  // 0 main, 1 advanced, 2 colour
  bool StartHidden = false;

  int HoverMain = kNone;
  int HoverColour = kNone;
  int HoverAdvanced = kNone;
  std::array<int, 3> LastHover{kNone, kNone, kNone};  // main, colour, advanced at the last move
  bool Pressed = false;
  KeyboardFocus Focus;  // the keyboard's control among the painted ones

  // The function popups and the warning (EditedButton, PopupOrigin, ...).
  PopupState Popups;

  // Hand-over between the input-report reader and the host-function player.
  std::atomic<int> PlayRequest{0};
  std::atomic<int> StopRequest{0};
  std::atomic<std::uint8_t> TriggerCode{0};
  std::atomic<std::uint8_t> TriggerLevel{0};  // byte 2 of the report that raised the request

  // Logical button (0..6) for each device button number 0..15; kNone for none.
  std::array<std::uint8_t, 16> ButtonIndexByNumber{};

  ProfileSettings Settings;
  std::array<std::atomic<bool>, kButtonCount> HostHandled{};

  // Edited on the user-interface thread only; the workers read the copies
  // published to PlayerMacros (PublishMacros after every change).
  UserMacroTable UserMacros;
  FixedMacroTable FixedMacros;
  MacroHandOver PlayerMacros;
  int SelectedMacro = 0;

  // Macro recording, shown on the advanced page.
  bool Recording = false;
  int PressCount = 0;
  int ReleaseCount = 0;

  // The skin layouts, and the main window's shape from its mask image.
  SkinLayout Skin;
  int MaskWidth = 0;  // painted size of every page
  int MaskHeight = 0;
  Region ControlFreeRegion;  // the window shape less the advanced page's controls

  // Colour preview of the colour page, written by its animator thread.
  std::atomic<std::uint8_t> PreviewColour{0};  // cycle colour 0..6
  std::atomic<bool> PreviewGray{false};
  std::atomic<bool> PreviewRunning{false};

  DeviceLink Link;
  FeatureReporter Reporter;
};

// Hands the current macro tables over to the workers.
inline void PublishMacros(AppState& state) { state.PlayerMacros.Publish(state.UserMacros, state.FixedMacros); }

}  // namespace tolvar
