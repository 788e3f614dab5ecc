// The reader and the player on their own threads, as start-up runs them:
// reports go in through the input channel, feature reports come out.
#include <gtest/gtest.h>

#include <memory>

#include "app/workers.h"
#include "unit/workers/worker_fixture.h"

namespace tolvar::testing {
namespace {

// Counts the threads that asked for the highest priority and grants each
// `grant`.
class CountingPriority final : public ThreadPriority {
 public:
  PriorityGrant RaiseCurrentThread() override {
    ++raised;
    return grant;
  }
  std::atomic<int> raised{0};
  PriorityGrant grant;
};

class RunningWorkers : public WorkerFixture {
 protected:
  ~RunningWorkers() override {
    // The reader ends once its read returns: publish a closed channel if
    // none was, and close the one in use.
    if (state.Link.Device.InputChannel.load() == nullptr) Publish();
    input.Close();
    workers.reset();
  }

  void Start() { workers = StartWorkers(state.Link, WorkerPorts{window, ini, clock, launcher, &priority}); }
  void Publish() {
    state.Link.Device.InputReportByteLength = 3;
    state.Link.Device.InputChannel.store(&input);
    state.Link.Device.InputChannel.notify_all();
  }
  // Waits until the player has finished its pass and the reader has handled
  // every report fed so far.
  void WaitUntilSettled() {
    ASSERT_TRUE(input.WaitUntilIdle());
    ASSERT_TRUE(testing::WaitFor([&] { return state.Link.PlayRequest.load() == 0; }));
  }

  FakeInputChannel input;
  CountingPriority priority;
  std::unique_ptr<Workers> workers;
};

TEST_F(RunningWorkers, PressReachesThePlayerAndEachThreadRaisesItsPriority) {
  state.Settings.K[2] = 21;
  Publish();
  Start();
  input.Feed(Press(2));
  ASSERT_TRUE(feature.WaitForCount(1));
  EXPECT_EQ(feature.Heads(4)[0], (Bytes{7, 0x17, 0x02, 0x23}));
  EXPECT_EQ(priority.raised.load(), 2);
}

// Only a player granted real-time priority waits out the last moments of
// its waits without sleeping.
struct GrantCase {
  PriorityGrant grant;
  bool spins;
};

class PlayerPriority : public RunningWorkers, public ::testing::WithParamInterface<GrantCase> {};

TEST_P(PlayerPriority, DecidesHowTheMacroWaitsEnd) {
  priority.grant = GetParam().grant;
  AssignUserMacro(0, 0, TapMacro(0));
  Publish();
  Start();
  input.Feed(Press(0));
  ASSERT_TRUE(feature.WaitForCount(kTapReports));
  WaitUntilSettled();
  EXPECT_EQ(!clock.Spins().empty(), GetParam().spins) << Describe(GetParam().grant);
}

INSTANTIATE_TEST_SUITE_P(Grants, PlayerPriority,
                         ::testing::Values(GrantCase{{PriorityGrant::Kind::Normal, 0}, false},
                                           GrantCase{{PriorityGrant::Kind::Nice, -5}, false},
                                           GrantCase{{PriorityGrant::Kind::RealtimeKit, 10}, true},
                                           GrantCase{{PriorityGrant::Kind::Fifo, 10}, true}));

TEST_F(RunningWorkers, ReaderWaitsForTheChannelToBePublished) {
  state.Settings.K[2] = 39;
  Start();
  Publish();
  input.Feed(Press(2));
  WaitUntilSettled();
  EXPECT_EQ(launcher.Started(), (std::vector<SystemProgram>{SystemProgram::Calculator}));
}

TEST_F(RunningWorkers, FailedReadsAreRetried) {
  state.Settings.K[2] = 40;
  Publish();
  Start();
  input.FeedFailure();
  input.FeedFailure();
  input.Feed(Press(2));
  WaitUntilSettled();
  EXPECT_EQ(launcher.Started(), (std::vector<SystemProgram>{SystemProgram::Terminal}));
}

TEST_F(RunningWorkers, SecondPressThroughTheChannelStopsAToggleMacro) {
  AssignUserMacro(1, 0, TapMacro(1, 1000));
  clock.SetHook([&](int sleep) {
    if (sleep != kTapSleeps) return;  // first wait of the second repetition
    input.Feed(Press(1));
    ASSERT_TRUE(testing::WaitFor([&] { return state.Link.StopRequest.load() == 1; }));
  });
  Publish();
  Start();
  input.Feed(Press(1));
  WaitUntilSettled();
  EXPECT_EQ(feature.Reports().size(), 2u * kTapReports);
}

TEST_F(RunningWorkers, ReleaseThroughTheChannelStopsAWhileHeldMacro) {
  AssignUserMacro(4, 2, TapMacro(2));
  clock.SetHook([&](int sleep) {
    if (sleep != 1) return;
    input.Feed(Release(4));
    ASSERT_TRUE(testing::WaitFor([&] { return state.Link.StopRequest.load() == 1; }));
  });
  Publish();
  Start();
  input.Feed(Press(4));
  WaitUntilSettled();
  EXPECT_EQ(feature.Reports().size(), 1u * kTapReports);
}

TEST_F(RunningWorkers, ReleaseWhileIdleDoesNotStopTheNextMacro) {
  AssignUserMacro(1, 0, TapMacro(2));
  AssignUserMacro(0, 1, TapMacro(1, 3));
  Publish();
  Start();
  input.Feed(Press(1, 1));
  input.Feed(Release(1));
  WaitUntilSettled();
  const std::size_t afterHeld = feature.Reports().size();
  input.Feed(Release(1));  // nothing plays now
  ASSERT_TRUE(input.WaitUntilIdle());
  input.Feed(Press(0));
  WaitUntilSettled();
  EXPECT_EQ(feature.Reports().size() - afterHeld, 3u * kTapReports);
}

TEST_F(RunningWorkers, HostHandledLevelSurvivesTheReleaseThatFollows) {
  state.Settings.K[5] = 16;
  state.Link.HostHandled[5] = true;
  Publish();
  Start();
  input.Feed(Press(5, 5));
  input.Feed(Release(5));
  WaitUntilSettled();
  ASSERT_TRUE(testing::WaitFor([&] { return ini.Writes().size() == 1; }));
  EXPECT_EQ(state.Settings.DPI_LEVEL.load(), 5);
  EXPECT_EQ(ini.Writes()[0].entry.value, u"5");
}

// The user-interface side edits and republishes the macro tables while the
// reader and the player use them; run under ThreadSanitizer this finds any
// access to the tables that is not handed over.
TEST_F(RunningWorkers, MacroTablesEditedWhileAMacroPlays) {
  AssignUserMacro(0, 0, TapMacro(1, 3));
  Publish();
  Start();
  for (int round = 0; round < 200; ++round) {
    input.Feed(Press(0));
    Macro& macro = state.UserMacros.slots[0];
    macro = round % 2 == 0 ? TapMacro(0) : TapMacro(1, 2);
    macro.events[0].code = static_cast<std::uint8_t>(kKeyA + round % 3);
    state.FixedMacros.slots[1].eventCount = static_cast<std::uint8_t>(round % 5);
    PublishMacros(state);
    if (round % 20 == 0) WaitUntilSettled();
  }
  WaitUntilSettled();
  EXPECT_FALSE(feature.Reports().empty());
}

}  // namespace
}  // namespace tolvar::testing
