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

ApplyOutcome ApplySettings(AppState& app, IniStore& ini, PointerSettings& system, WindowHost& window,
                           const std::optional<std::u16string>& repeatCountText) {
  ApplyOutcome outcome;
  if (app.CurrentPage == kAdvancedPage && repeatCountText) {
    outcome.correctedRepeatCount = StoreRepeatCount(app.UserMacros, app.SelectedMacro, *repeatCountText);
    PublishMacros(app);
  }
  SaveFailures& failures = outcome.saveFailures;
  failures.Add(SaveUserMacros(ini, UserMacroFileOf(app), kMacroSection, app.UserMacros));
  failures.Add(WriteCurConfig(ini, app.Paths.ConfigPath, app.CurConfig));
  failures.Add(SaveProfile(ini, app.Paths.ConfigPath, kAppliedProfile, app.Settings, app.UserMacros));
  SendSettingsReports(app.Link.Reporter, app.Settings, app.Link.HostHandled);
  window.Invalidate();
  ApplyDesktopSettings(app.Settings, system);
  SendUsbSpeed(app.Link.Reporter, app.Settings);
  failures.Add(SaveProfile(ini, app.Paths.ConfigPath, app.CurConfig, app.Settings, app.UserMacros));
  return outcome;
}

}  // namespace tolvar
