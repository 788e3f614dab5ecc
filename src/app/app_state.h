// The one shared state of the process, owned by the main window.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "app/worker_link.h"
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

  ProfileSettings Settings;

  // Edited on the user-interface thread only; the workers read the copies
  // published to Link.PlayerMacros (PublishMacros after every change).
  UserMacroTable UserMacros;
  FixedMacroTable FixedMacros;
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

  // What the input-report reader and the host-function player share.
  WorkerLink Link{{Settings.K, Settings.DPI_LEVEL, CurConfig, Paths.ConfigPath}};
};

// Hands the current macro tables over to the workers.
inline void PublishMacros(AppState& state) { state.Link.PlayerMacros.Publish(state.UserMacros, state.FixedMacros); }

}  // namespace tolvar
