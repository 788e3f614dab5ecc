// The model of the user-interface thread: the use cases that change the
// settings, the macros, the language or the current profile, each written
// once, whoever calls it (a click in the window, the tray, a command from
// outside the window). Each operation tells the view what it changed, so the
// window repaints and refreshes its views in one place.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/save_failure.h"
#include "config/config_file.h"
#include "ports/desktop_dialogs.h"
#include "ports/ini_store.h"
#include "ports/message_boxes.h"
#include "ports/pointer_settings.h"
#include "ports/window_host.h"
#include "skin/skin_layout.h"

namespace tolvar {

// The message for a file chosen for import that holds no exported profile.
std::u16string NoExportedProfileMessage(const std::string& file, std::uint8_t verSel);

// What an operation changed. Every change repaints the window.
struct ModelChange {
  bool settings = false;  // the current settings
  bool macros = false;    // the user macro table: the advanced page's lists show it again
  bool language = false;  // the language: the layouts, the menus and the title
};

// Each operation that writes shows one message box, in the interface's
// language, when a write failed (save_failure.h); the change stays in memory.

// The window's side of the model.
class ModelView {
 public:
  virtual ~ModelView() = default;
  virtual void ModelChanged(const ModelChange& change) = 0;
  // Before the profile or the macro list is loaded again: a recording ends,
  // as if Stop were pressed, so it never writes into another macro.
  virtual void BeforeMacroListChanges() = 0;
  // The repeat-count edit's text while the advanced page shows it, for Apply.
  virtual std::optional<std::u16string> RepeatCountText() = 0;
  // Apply corrected the repeat count: the edit shows the stored value.
  virtual void ShowRepeatCount(const std::u16string& text) = 0;
};

struct ModelPorts {
  IniStore& ini;
  MessageBoxes& messages;
  DesktopDialogs& desktop;
  PointerSettings& pointer;
  WindowHost& window;
};

class AppModel {
 public:
  // skinFiles: the layout files of the current language.
  AppModel(AppState& state, ModelPorts ports, ModelView& view, std::function<SkinSource()> skinFiles);

  // Makes profile 1..5 current, its settings loaded from its own section;
  // nothing is sent or saved.
  void ChooseProfile(int profile);
  // Saves the current settings and macros as the current profile.
  void Save();
  // Sends the whole profile to the mouse and saves it (ApplySettings).
  void Apply();
  // Drops the edits not applied: the settings applied last come back; the
  // DPI level the mouse uses now is kept.
  void DropUnappliedEdits();

  // Stores the language, reloads the four layout files and the user macros
  // of the language. Settings stay.
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
  void Load(const std::string& file, int profile, ProfileSource source, bool withMacros);
  // Apply without the message box: the failed saves are returned.
  SaveFailures ApplyAndSave();
  void Report(const SaveFailures& failures);

  AppState& state_;
  ModelPorts ports_;
  ModelView& view_;
  std::function<SkinSource()> skinFiles_;
};

}  // namespace tolvar
