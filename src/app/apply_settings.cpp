#include "app/apply_settings.h"

#include "app/startup.h"
#include "config/config_file.h"
#include "device/settings_reports.h"
#include "macros/macro_file.h"
#include "skin/pages.h"

namespace tolvar {

namespace {

void ApplyDesktopSettings(const ProfileSettings& s, PointerSettings& system) {
  if (system.PointerSpeed()) system.SetPointerSpeed(SystemPointerSpeed(s.DPI_SPEED));
  if (system.WheelScrollLines()) system.SetWheelScrollLines(SystemWheelScrollLines(s.WHEEL_SPEED));
}

}  // namespace

std::optional<std::u16string> ApplySettings(AppState& app, IniStore& ini, PointerSettings& system, WindowHost& window,
                                            const std::optional<std::u16string>& repeatCountText) {
  std::optional<std::u16string> corrected;
  if (app.CurrentPage == kAdvancedPage && repeatCountText) {
    corrected = StoreRepeatCount(app.UserMacros, app.SelectedMacro, *repeatCountText);
    PublishMacros(app);
  }
  SaveUserMacros(ini, UserMacroFileOf(app), kMacroSection, app.UserMacros);
  WriteCurConfig(ini, app.Paths.ConfigPath, app.CurConfig);
  SaveProfile(ini, app.Paths.ConfigPath, kAppliedProfile, app.Settings, app.UserMacros);
  SendSettingsReports(app.Link.Reporter, app.Settings, app.Link.HostHandled);
  window.Invalidate();
  ApplyDesktopSettings(app.Settings, system);
  SendUsbSpeed(app.Link.Reporter, app.Settings);
  SaveProfile(ini, app.Paths.ConfigPath, app.CurConfig, app.Settings, app.UserMacros);
  return corrected;
}

}  // namespace tolvar
