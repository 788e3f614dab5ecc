// The animated lighting preview of the colour page: while the page is shown,
// the preview alternates between gray and the next enabled cycle colour (in
// colour-cycle mode) or stays gray, repainted at the cycle speed's pace.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "app/app_state.h"
#include "ports/clock.h"
#include "ports/window_host.h"
#include "skin/pages.h"

namespace tolvar {

constexpr std::uint8_t kLedTypeColourCycle = 1;

// The pause between two preview steps: (6 − LED_CYC_TIME) × 200 ms, with
// cycle times above 5 taken as 5 (200 ms).
std::chrono::milliseconds PreviewStepWait(std::uint8_t ledCycleTime);

// The cycle colour after `current` whose CYC_7COL_EN flag is on, counting
// 0..6 and wrapping; `current` itself when it is the only one on; none when
// no flag is on.
std::optional<std::uint8_t> NextCycleColour(const ProfileSettings& settings, std::uint8_t current);

// The animator's body: animates while CurrentPage is 2, then clears
// PreviewRunning and returns 0. With no cycle colour on, the preview stays gray.
int ColourPreviewAnimator(AppState& state, WindowHost& window, Clock& clock);

// For the page switch: when no animator runs, marks one running and starts
// it on its own thread (normal priority), which ends by itself once the
// colour page has been left. Returns whether one was started. `state`,
// `window` and `clock` must outlive the animator (until PreviewRunning is clear).
bool StartColourPreview(AppState& state, WindowHost& window, Clock& clock);

}  // namespace tolvar
