#include "app/state_loading.h"

#include "macros/macro_file.h"

namespace tolvar {

void LoadProfile(AppState& app, IniStore& ini, MessageBoxes& dialogs, const std::string& file, int profile,
                 ProfileSource source, bool withMacros) {
  const std::u16string section = LoadSectionName(profile, source, app.VER_SEL);
  app.Settings = ReadProfileSettings(ini, file, section);
  if (withMacros) LoadUserMacros(app, ini, dialogs, file, section);
}

void LoadUserMacros(AppState& app, IniStore& ini, MessageBoxes& dialogs, const std::string& file,
                    std::u16string_view section) {
  ReadMacroBlock(app.UserMacros, kMaxUserMacros, ini, dialogs, app.ApplicationName, file, section);
  app.SelectedMacro = app.UserMacros.count > 0 ? app.UserMacros.count - 1 : 0;
  PublishMacros(app);
}

void LoadFixedMacros(AppState& app, IniStore& ini, MessageBoxes& dialogs, const std::string& file) {
  ReadMacroBlock(app.FixedMacros, kMacroTableSlots, ini, dialogs, app.ApplicationName, file, kMacroSection);
  PublishMacros(app);
}

}  // namespace tolvar
