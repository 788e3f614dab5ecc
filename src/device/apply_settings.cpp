#include "device/apply_settings.h"

#include "app/startup.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "device/feature_report.h"
#include "macros/macro_file.h"

namespace tolvar {

namespace {

constexpr int kAppliedProfile = 6;
constexpr std::uint8_t kAdvancedPage = 1;

void SendIfOpen(FeatureReporter& reporter, const FeatureReporter::Composer& compose) {
  if (reporter.IsOpen()) reporter.Send(compose);
}

void SendSettingsReports(AppState& app) {
  const ProfileSettings& s = app.Settings;
  FeatureReporter& reporter = app.Reporter;
  for (int i = 0; i < kButtonCount; ++i) {
    const std::int32_t code = s.K[i];
    app.HostHandled[i] = IsHostHandled(code);
    SendIfOpen(reporter, [i, code](std::span<std::uint8_t> r) { compose::ButtonFunction(r, i, DeviceFunctionCode(code)); });
  }
  SendIfOpen(reporter, [&s](std::span<std::uint8_t> r) { compose::WheelStatus(r, s.WHEEL_STATUS); });
  SendIfOpen(reporter, [&s](std::span<std::uint8_t> r) {
    compose::Lighting(r, CycleColourMask(s), s.LED_TYPE, s.LED_CYC_TIME);
  });
  const std::uint8_t enableMask = DpiEnableMask(s);
  for (int i = 0; i < kDpiLevelCount; ++i) {
    SendIfOpen(reporter, [&s, i, enableMask](std::span<std::uint8_t> r) {
      compose::DpiLevel(r, i, s.DPI_LEVEL, DpiStepFor(s.DPI_SET[i]).stepCode, enableMask);
    });
    SendIfOpen(reporter, [&s, i](std::span<std::uint8_t> r) {
      compose::LevelColour(r, i, s.DPI_R[i], s.DPI_G[i], s.DPI_B[i]);
    });
  }
  SendIfOpen(reporter, [&s](std::span<std::uint8_t> r) { compose::FireTime(r, s.FIRE_TIME); });
}

void ApplyDesktopSettings(const ProfileSettings& s, SystemSettings& system) {
  if (system.PointerSpeed()) system.SetPointerSpeed(SystemPointerSpeed(s.DPI_SPEED));
  if (system.WheelScrollLines()) system.SetWheelScrollLines(SystemWheelScrollLines(s.WHEEL_SPEED));
}

}  // namespace

std::optional<std::u16string> ApplySettings(AppState& app, IniStore& ini, SystemSettings& system,
                                            WindowHost& window,
                                            const std::optional<std::u16string>& repeatCountText) {
  std::optional<std::u16string> corrected;
  if (app.CurrentPage == kAdvancedPage && repeatCountText) {
    corrected = StoreRepeatCount(app.UserMacros, app.SelectedMacro, *repeatCountText);
  }
  app.Paths.MacroFilePath = MacroFilePathFor(app.Paths, app.VER_SEL);
  SaveUserMacros(ini, app.Paths.MacroFilePath, kMacroSection, app.UserMacros);
  WriteCurConfig(ini, app.Paths.ConfigPath, app.CurConfig);
  SaveProfile(ini, app.Paths.ConfigPath, kAppliedProfile, app.Settings, app.UserMacros);
  SendSettingsReports(app);
  window.Invalidate();
  ApplyDesktopSettings(app.Settings, system);
  SendIfOpen(app.Reporter, [&app](std::span<std::uint8_t> r) { compose::UsbSpeed(r, app.Settings.USB_SPEED); });
  SaveProfile(ini, app.Paths.ConfigPath, app.CurConfig, app.Settings, app.UserMacros);
  return corrected;
}

}  // namespace tolvar
