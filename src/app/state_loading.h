// Loading profiles and macros from their files into the shared state.
#pragma once

#include <string>
#include <string_view>

#include "app/app_state.h"
#include "config/config_file.h"
#include "ports/ini_store.h"
#include "ports/message_boxes.h"

namespace tolvar {

// Replaces app.Settings by the profile read from the file; with macros also
// app.UserMacros (and app.SelectedMacro) by the section's macro block, which
// shows "找不到配置文件" when the file does not exist.
void LoadProfile(AppState& app, IniStore& ini, MessageBoxes& dialogs, const std::string& file, int profile,
                 ProfileSource source, bool withMacros);

// Reads the block of `section` into app.UserMacros and selects its last
// macro (0 when it has none). A missing file shows "找不到配置文件" with the
// application's name as caption and reads as an empty block.
void LoadUserMacros(AppState& app, IniStore& ini, MessageBoxes& dialogs, const std::string& file,
                    std::u16string_view section);
// Reads the "Macros" block of the fixed-macro file into app.FixedMacros.
void LoadFixedMacros(AppState& app, IniStore& ini, MessageBoxes& dialogs, const std::string& file);

}  // namespace tolvar
