// The whole-configuration operations of the header: the language switch,
// the reset of all five profiles, and the import and export of a profile
// through a file of the user's choice.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "config/config_file.h"
#include "ports/desktop_dialogs.h"
#include "ports/ini_store.h"
#include "ports/message_boxes.h"
#include "ports/window_host.h"
#include "skin/skin_layout.h"

namespace tolvar {

// The message for a file chosen for import that holds no exported profile.
std::u16string NoExportedProfileMessage(const std::string& file, std::uint8_t verSel);

struct ProfileOperationPorts {
  IniStore& ini;
  MessageBoxes& dialogs;
  DesktopDialogs& desktop;
  WindowHost& window;
};

class ProfileOperations {
 public:
  // skinFiles: the layout files of the current language; apply: sends and
  // saves the current profile; refreshMacroViews: the advanced page's
  // lists show the macros again (called only while that page is shown).
  ProfileOperations(AppState& state, ProfileOperationPorts ports, std::function<SkinSource()> skinFiles,
                    std::function<void()> apply, std::function<void()> refreshMacroViews);

  // Stores the language, reloads the four layout files and the user
  // macros of the language, and sets the title again. Settings stay.
  void SetLanguage(std::uint8_t verSel);
  // Profile 1 from the defaults, 5..2 from their reset sections, then the
  // current profile is loaded and applied.
  void ResetProfiles();
  // Loads profile 7 of a chosen file, with its macros, as the current
  // settings. A file without an exported profile changes nothing and says so.
  void ImportProfile();
  // Saves the current settings and macros as profile 7 of a chosen file.
  void ExportProfile();

 private:
  void RefreshMacroViewsOnAdvancedPage();

  AppState& state_;
  ProfileOperationPorts ports_;
  std::function<SkinSource()> skinFiles_;
  std::function<void()> apply_;
  std::function<void()> refreshMacroViews_;
};

}  // namespace tolvar
