#include "device/settings_reports.h"

#include "config/button_catalogue.h"

namespace tolvar {

namespace {

void SendIfOpen(FeatureReporter& reporter, const FeatureReporter::Composer& compose) {
  if (reporter.IsOpen()) reporter.Send(compose);
}

}  // namespace

void SendSettingsReports(FeatureReporter& reporter, const ProfileSettings& s,
                         std::array<std::atomic<bool>, kButtonCount>& hostHandled) {
  for (int i = 0; i < kButtonCount; ++i) {
    const std::int32_t code = s.K[i];
    hostHandled[i] = IsHostHandled(code);
    SendIfOpen(reporter,
               [i, code](std::span<std::uint8_t> r) { compose::ButtonFunction(r, i, DeviceFunctionCode(code)); });
  }
  SendIfOpen(reporter, [&s](std::span<std::uint8_t> r) { compose::WheelStatus(r, s.WHEEL_STATUS); });
  SendIfOpen(reporter,
             [&s](std::span<std::uint8_t> r) { compose::Lighting(r, CycleColourMask(s), s.LED_TYPE, s.LED_CYC_TIME); });
  const std::uint8_t enableMask = DpiEnableMask(s);
  for (int i = 0; i < kDpiLevelCount; ++i) {
    SendIfOpen(reporter, [&s, i, enableMask](std::span<std::uint8_t> r) {
      compose::DpiLevel(r, i, s.DPI_LEVEL, DpiStepFor(s.DPI_SET[i]).stepCode, enableMask);
    });
    SendIfOpen(reporter,
               [&s, i](std::span<std::uint8_t> r) { compose::LevelColour(r, i, s.DPI_R[i], s.DPI_G[i], s.DPI_B[i]); });
  }
  SendIfOpen(reporter, [&s](std::span<std::uint8_t> r) { compose::FireTime(r, s.FIRE_TIME); });
}

void SendUsbSpeed(FeatureReporter& reporter, const ProfileSettings& s) {
  SendIfOpen(reporter, [&s](std::span<std::uint8_t> r) { compose::UsbSpeed(r, s.USB_SPEED); });
}

}  // namespace tolvar
