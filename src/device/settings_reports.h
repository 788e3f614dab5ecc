// The reports that send a whole profile to the mouse.
#pragma once

#include <array>
#include <atomic>

#include "config/profile_settings.h"
#include "device/feature_report.h"

namespace tolvar {

// The 21 settings reports in their order: 0x10 for each button, 0x11,
// 0x13, (0x09, 0x14) for each DPI level, 0x12. Marks in `hostHandled`
// which buttons make the mouse change its DPI level itself. Reports are
// skipped while the mouse's feature collection is not open.
void SendSettingsReports(FeatureReporter& reporter, const ProfileSettings& settings,
                         std::array<std::atomic<bool>, kButtonCount>& hostHandled);

// The report rate (0x0A); skipped while the feature collection is not open.
void SendUsbSpeed(FeatureReporter& reporter, const ProfileSettings& settings);

}  // namespace tolvar
