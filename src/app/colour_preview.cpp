#include "app/colour_preview.h"

#include <algorithm>
#include <thread>

namespace tolvar {

namespace {
constexpr int kSlowestCycleTime = 0;
constexpr int kFastestCycleTime = 5;
constexpr int kStepUnitMs = 200;
}  // namespace

std::chrono::milliseconds PreviewStepWait(std::uint8_t ledCycleTime) {
  const int cycleTime = std::clamp<int>(ledCycleTime, kSlowestCycleTime, kFastestCycleTime);
  return std::chrono::milliseconds((kFastestCycleTime + 1 - cycleTime) * kStepUnitMs);
}

std::optional<std::uint8_t> NextCycleColour(const ProfileSettings& settings, std::uint8_t current) {
  for (int step = 1; step <= kCycleColourCount; ++step) {
    const int colour = (current + step) % kCycleColourCount;
    if (settings.CYC_7COL_EN[colour]) return static_cast<std::uint8_t>(colour);
  }
  return std::nullopt;
}

int ColourPreviewAnimator(AppState& state, WindowHost& window, Clock& clock) {
  state.PreviewColour.store(0);
  while (state.CurrentPage.load() == kColourPage) {
    const std::optional<std::uint8_t> next = state.PreviewGray.load() && state.Settings.LED_TYPE == kLedTypeColourCycle
                                                 ? NextCycleColour(state.Settings, state.PreviewColour.load())
                                                 : std::nullopt;
    if (next) {
      state.PreviewGray.store(false);
      state.PreviewColour.store(*next);
    } else {
      state.PreviewGray.store(true);
    }
    window.Invalidate();
    clock.SleepUntil(clock.Now() + PreviewStepWait(state.Settings.LED_CYC_TIME));
  }
  state.PreviewRunning.store(false);
  return 0;
}

bool StartColourPreview(AppState& state, WindowHost& window, Clock& clock) {
  if (state.PreviewRunning.exchange(true)) return false;
  std::thread([&state, &window, &clock] { ColourPreviewAnimator(state, window, clock); }).detach();
  return true;
}

}  // namespace tolvar
