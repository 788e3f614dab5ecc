// A state with the default button assignments, a recording feature channel
// on a fake clock, and helpers that build button reports and macros.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "app/app_state.h"
#include "app/startup.h"
#include "app/workers.h"
#include "unit/workers/worker_fakes.h"

namespace tolvar::testing {

constexpr std::size_t kReportLength = 8;
constexpr std::uint8_t kKeyA = 4;

inline Bytes Press(int logicalButton, std::uint8_t byte2 = 1) {
  return {0, static_cast<std::uint8_t>(kButtonEventBase + ButtonNumberTable[logicalButton]), byte2};
}
inline Bytes Release(int logicalButton) { return Press(logicalButton, kButtonReleased); }

inline Macro MakeMacro(std::uint8_t mode, std::uint16_t repeatCount, std::initializer_list<MacroEvent> events) {
  Macro macro;
  macro.mode = mode;
  macro.repeatCount = repeatCount;
  for (const MacroEvent& e : events) macro.events[macro.eventCount++] = e;
  return macro;
}

// Press and release of one key, both with the minimum wait: four reports a
// repetition (key, key, buttons, keys) and four sleeps.
inline Macro TapMacro(std::uint8_t mode, std::uint16_t repeatCount = 0) {
  return MakeMacro(mode, repeatCount, {{kKeyA, kActionPress, 0}, {kKeyA, kActionRelease, 0}});
}
constexpr int kTapReports = 4;
constexpr int kTapSleeps = 4;

class WorkerFixture : public ::testing::Test {
 protected:
  WorkerFixture() {
    state.Paths.ConfigPath = "/profiles/config.ini";
    state.CurConfig = 2;
    const std::int32_t ownFunctions[kButtonCount] = {1, 2, 3, 5, 4, 6};
    for (int i = 0; i < kButtonCount; ++i) state.Settings.K[i] = ownFunctions[i];
    state.Link.Reporter.Attach(&feature, kReportLength);
  }
  ~WorkerFixture() override { state.Link.Reporter.Attach(nullptr, 0); }

  // Gives a button user macro `slot` (code 41 + slot).
  void AssignUserMacro(int button, int slot, const Macro& macro) {
    state.UserMacros.slots[slot] = macro;
    state.UserMacros.count = static_cast<std::int16_t>(std::max<int>(state.UserMacros.count, slot + 1));
    state.Settings.K[button] = 41 + slot;
    PublishMacros(state);
  }

  std::vector<std::uint8_t> Commands() {
    std::vector<std::uint8_t> commands;
    for (const Bytes& r : feature.Reports()) commands.push_back(r[1]);
    return commands;
  }

  AppState state;
  FakeClock clock;
  RecordingFeatureChannel feature{&clock};
  CountingWindow window;
  RecordingIni ini;
  RecordingLauncher launcher;
};

}  // namespace tolvar::testing
