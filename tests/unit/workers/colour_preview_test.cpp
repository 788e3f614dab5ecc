// The colour page's preview animation: its steps, its pace and its end.
#include "app/colour_preview.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "unit/workers/worker_fakes.h"

namespace tolvar::testing {
namespace {

class ColourPreview : public ::testing::Test {
 protected:
  ColourPreview() {
    state.CurrentPage = kColourPage;
    state.Settings.LED_TYPE = kLedTypeColourCycle;
    state.Settings.LED_CYC_TIME = 5;
  }

  void OnlyColoursOn(std::initializer_list<int> colours) {
    for (auto& flag : state.Settings.CYC_7COL_EN) flag = false;
    for (const int c : colours) state.Settings.CYC_7COL_EN[c] = true;
  }

  // Runs the animator for `steps` steps (the page is left during the last
  // wait) and returns what the preview showed at each: -1 for gray.
  std::vector<int> Animate(int steps) {
    std::vector<int> shown;
    clock.SetHook([&](int sleep) {
      shown.push_back(state.PreviewGray ? -1 : state.PreviewColour.load());
      if (sleep + 1 == steps) state.CurrentPage = 0;
    });
    state.PreviewRunning = true;
    EXPECT_EQ(ColourPreviewAnimator(state, window, clock), 0);
    EXPECT_FALSE(state.PreviewRunning);
    return shown;
  }

  AppState state;
  FakeClock clock;
  CountingWindow window;
};

TEST_F(ColourPreview, AlternatesGrayWithTheOnlyColourOn) {
  OnlyColoursOn({4});
  EXPECT_EQ(Animate(6), (std::vector<int>{-1, 4, -1, 4, -1, 4}));
  EXPECT_EQ(window.invalidations.load(), 6);
}

TEST_F(ColourPreview, StepsThroughTheEnabledColoursWrappingAfterSix) {
  OnlyColoursOn({1, 5, 6});
  EXPECT_EQ(Animate(8), (std::vector<int>{-1, 1, -1, 5, -1, 6, -1, 1}));
}

TEST_F(ColourPreview, OtherLightingModesStayGray) {
  state.Settings.LED_TYPE = 2;
  EXPECT_EQ(Animate(3), (std::vector<int>{-1, -1, -1}));
}

TEST_F(ColourPreview, NoColourOnStaysGrayAndStillEnds) {
  OnlyColoursOn({});
  EXPECT_EQ(Animate(4), (std::vector<int>{-1, -1, -1, -1}));
}

TEST_F(ColourPreview, EndsAtOnceWhenThePageIsNoLongerShown) {
  state.CurrentPage = 1;
  state.PreviewColour = 3;
  state.PreviewRunning = true;
  EXPECT_EQ(ColourPreviewAnimator(state, window, clock), 0);
  EXPECT_FALSE(state.PreviewRunning);
  EXPECT_EQ(state.PreviewColour.load(), 0);
  EXPECT_TRUE(clock.DeadlinesMs().empty());
}

struct PaceCase {
  std::uint8_t cycleTime;
  long waitMs;
};

class PreviewPace : public ColourPreview, public ::testing::WithParamInterface<PaceCase> {};

TEST_P(PreviewPace, WaitsBetweenStepsBoundedForAnyCycleTime) {
  state.Settings.LED_CYC_TIME = GetParam().cycleTime;
  Animate(2);
  EXPECT_EQ(clock.DeadlinesMs(), (std::vector<long>{GetParam().waitMs, 2 * GetParam().waitMs}));
}

INSTANTIATE_TEST_SUITE_P(CycleTimes, PreviewPace,
                         ::testing::Values(PaceCase{0, 1200}, PaceCase{3, 600}, PaceCase{5, 200}, PaceCase{6, 200},
                                           PaceCase{200, 200}, PaceCase{255, 200}));

TEST_F(ColourPreview, StartRunsOneAnimatorThatEndsWhenThePageIsLeft) {
  OnlyColoursOn({2});
  std::atomic<int> steps{0};
  clock.SetHook([&](int) { steps.fetch_add(1); });

  EXPECT_TRUE(StartColourPreview(state, window, clock));
  EXPECT_TRUE(state.PreviewRunning);
  EXPECT_FALSE(StartColourPreview(state, window, clock));  // one runs already
  ASSERT_TRUE(WaitFor([&] { return steps.load() >= 3; }));

  state.CurrentPage = 0;
  ASSERT_TRUE(WaitFor([&] { return !state.PreviewRunning.load(); }));
  EXPECT_TRUE(StartColourPreview(state, window, clock));  // a later visit starts a new one
  ASSERT_TRUE(WaitFor([&] { return !state.PreviewRunning.load(); }));
}

}  // namespace
}  // namespace tolvar::testing
