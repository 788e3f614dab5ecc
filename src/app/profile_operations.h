// The whole-configuration operations of the header: the language switch,
// the reset of all five profiles, and the import and export of a profile
// through a file of the user's choice.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "app/save_failure.h"
#include "ports/desktop_dialogs.h"
#include "ports/ini_store.h"
#include "ports/message_boxes.h"
#include "ports/window_host.h"
#include "skin/skin_layout.h"

namespace tolvar {

constexpr int kExchangeProfile = 7;

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
  // saves the current profile, returning the saves that failed; refreshMacroViews: the advanced page's
  // lists show the macros again (called only while that page is shown).
  ProfileOperations(AppState& state, ProfileOperationPorts ports, std::function<SkinSource()> skinFiles,
                    std::function<SaveFailures()> apply, std::function<void()> refreshMacroViews);

  // Each command that writes shows one message box, in the interface's
  // language, when a write failed (save_failure.h).
  //
  // Stores the language, reloads the four layout files and the user
  // macros of the language, and sets the title again. Settings stay.
  void SetLanguage(std::uint8_t verSel);
  // Profile 1 from the defaults, 5..2 from their reset sections, then the
  // current profile is loaded and applied. When the reset could not be
  // stored, the current profile's reset values are kept in memory instead,
  // so that a later save stores them.
  void ResetProfiles();
  // Loads profile 7 of a chosen file, with its macros, as the current
  // settings. A file without an exported profile changes nothing and says so.
  void ImportProfile();
  // Saves the current settings and macros as profile 7 of a chosen file.
  void ExportProfile();

 private:
  void RefreshMacroViewsOnAdvancedPage();
  void Report(const SaveFailures& failures);

  AppState& state_;
  ProfileOperationPorts ports_;
  std::function<SkinSource()> skinFiles_;
  std::function<SaveFailures()> apply_;
  std::function<void()> refreshMacroViews_;
};

}  // namespace tolvar
