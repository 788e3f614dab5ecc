// The reader's rule for one report and the player's passes, driven on the
// test thread: the fake clock's hook stands in for reports that arrive
// while a macro plays.
#include "app/workers.h"

#include <gtest/gtest.h>

#include "unit/workers/worker_fixture.h"

namespace tolvar::testing {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

class ReaderAndPlayer : public WorkerFixture {
 protected:
  InputReportReader reader{state.Link};
  HostFunctionPlayer player{state.Link, window, ini, clock, launcher};

  void PressAndPlay(int button, std::uint8_t byte2 = 1) {
    reader.HandleReport(Press(button, byte2));
    player.RunPass();
  }
};

// ---- The reader's rule ----

struct ReaderCase {
  const char* name;
  Bytes report;
  bool buttonInHeldMode;  // logical button 1 carries a while-held macro
  int playRequestBefore;
  int stopRequestBefore;
  int playRequestAfter;
  int stopRequestAfter;
  std::uint8_t triggerAfter;
  friend void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.name; }
};

class ReaderRule : public ReaderAndPlayer, public ::testing::WithParamInterface<ReaderCase> {};

TEST_P(ReaderRule, SetsTheHandOverFlags) {
  const ReaderCase& c = GetParam();
  AssignUserMacro(1, 0, TapMacro(c.buttonInHeldMode ? 2 : 0));
  state.Link.PlayRequest = c.playRequestBefore;
  state.Link.StopRequest = c.stopRequestBefore;
  state.Link.TriggerCode = 0x11;

  reader.HandleReport(c.report);

  EXPECT_EQ(state.Link.PlayRequest.load(), c.playRequestAfter);
  EXPECT_EQ(state.Link.StopRequest.load(), c.stopRequestAfter);
  EXPECT_EQ(state.Link.TriggerCode.load(), c.triggerAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReaderRule,
    ::testing::Values(ReaderCase{"PressWhileIdleRaisesARequest", Press(1), false, 0, 0, 1, 0, 0xF2},
                      ReaderCase{"CrossedButtonsUseTheDeviceNumber", Press(3), false, 0, 0, 1, 0, 0xF5},
                      ReaderCase{"PressWhilePlayingStopsAToggleMacro", Press(1), false, 1, 0, 1, 1, 0x11},
                      ReaderCase{"PressOfAHeldModeButtonWhilePlayingStopsNothing", Press(1), true, 1, 0, 1, 0, 0x11},
                      ReaderCase{"PressOfAnotherButtonWhilePlayingStops", Press(0), true, 1, 0, 1, 1, 0x11},
                      ReaderCase{"ReleaseOfAHeldModeButtonStops", Release(1), true, 1, 0, 1, 1, 0x11},
                      ReaderCase{"ReleaseOfAToggleButtonDoesNothing", Release(1), false, 1, 0, 1, 0, 0x11},
                      ReaderCase{"StaleStopIsDroppedWhenARequestIsRaised", Press(1), true, 0, 1, 1, 0, 0xF2},
                      ReaderCase{"NoButtonEventAt0xF0", Bytes{0, 0xF0, 1}, false, 0, 0, 0, 0, 0x11},
                      ReaderCase{"NumberWithoutAButtonIsIgnored", Bytes{0, 0xF7, 1}, false, 0, 0, 0, 0, 0x11},
                      ReaderCase{"LogicalButtonSixIsIgnored", Bytes{0, 0xF8, 1}, false, 0, 0, 0, 0, 0x11},
                      ReaderCase{"HighestNumberStaysInTheTable", Bytes{0, 0xFF, 1}, false, 0, 0, 0, 0, 0x11},
                      ReaderCase{"ShortReportIsIgnored", Bytes{0, 0xF2}, false, 0, 0, 0, 0, 0x11}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderAndPlayer, FunctionCodesOutsideTheUserMacrosAreNotHeldMode) {
  // Codes whose "macro" would lie past the user table: a release never stops.
  for (const std::int32_t code : {40, 53, 200, -5}) {
    state.Settings.K[1] = code;
    state.Link.PlayRequest = 1;
    state.Link.StopRequest = 0;
    reader.HandleReport(Release(1));
    EXPECT_EQ(state.Link.StopRequest.load(), 0) << code;
    reader.HandleReport(Press(1));
    EXPECT_EQ(state.Link.StopRequest.load(), 1) << code;
  }
}

// ---- Host actions ----

struct ConsumerCase {
  std::int32_t code;
  std::uint8_t high, low;
};

class ConsumerKeys : public ReaderAndPlayer, public ::testing::WithParamInterface<ConsumerCase> {};

TEST_P(ConsumerKeys, OnePressSendsOneConsumerReport) {
  state.Settings.K[2] = GetParam().code;
  PressAndPlay(2);
  EXPECT_EQ(feature.Heads(4), (std::vector<Bytes>{{7, 0x17, GetParam().high, GetParam().low}}));
  EXPECT_EQ(state.Link.PlayRequest.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Codes, ConsumerKeys,
                         ::testing::Values(ConsumerCase{21, 0x02, 0x23}, ConsumerCase{24, 0x00, 0xE9},
                                           ConsumerCase{30, 0x01, 0x92}));

TEST_F(ReaderAndPlayer, ProgramCodesStartTheDesktopProgramsOnly) {
  state.Settings.K[2] = 39;
  PressAndPlay(2);
  state.Settings.K[2] = 40;
  PressAndPlay(2);
  state.Settings.K[2] = 53;
  PressAndPlay(2);
  EXPECT_EQ(launcher.Started(), (std::vector<SystemProgram>{SystemProgram::Calculator, SystemProgram::Terminal}));
  EXPECT_TRUE(feature.Reports().empty());
}

TEST_F(ReaderAndPlayer, FixedMacroPlaysOnceWhateverItsMode) {
  state.FixedMacros.slots[7] = TapMacro(2, 9);
  PublishMacros(state);
  state.Settings.K[0] = 38;
  PressAndPlay(0);
  EXPECT_EQ(Commands(), (std::vector<std::uint8_t>{0x15, 0x15, 0x16, 0x15}));
}

TEST_F(ReaderAndPlayer, OnlyTheTriggeringButtonActs) {
  state.Settings.K[3] = 21;  // device number 5
  state.Settings.K[4] = 39;  // device number 4
  PressAndPlay(4);
  EXPECT_EQ(launcher.Started().size(), 1u);
  EXPECT_TRUE(feature.Reports().empty());
}

// ---- The DPI take-over ----

TEST_F(ReaderAndPlayer, HostHandledButtonTakesOverRepaintsAndSavesTheLevel) {
  state.Settings.K[5] = 6;
  state.Link.HostHandled[5] = true;
  state.Settings.DPI_LEVEL = 1;

  PressAndPlay(5, 3);

  EXPECT_EQ(state.Settings.DPI_LEVEL.load(), 3);
  EXPECT_EQ(window.invalidations.load(), 1);
  const auto writes = ini.Writes();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].file, "/profiles/config.ini");
  EXPECT_EQ(writes[0].entry.section, u"Config2");
  EXPECT_EQ(writes[0].entry.key, u"DPI_LEVEL");
  EXPECT_EQ(writes[0].entry.value, u"3");
}

TEST_F(ReaderAndPlayer, ReleaseRightAfterTheHostHandledPressKeepsTheLevelTaken) {
  state.Settings.K[5] = 15;
  state.Link.HostHandled[5] = true;
  reader.HandleReport(Press(5, 4));
  reader.HandleReport(Release(5));  // arrives before the player looks
  player.RunPass();
  EXPECT_EQ(state.Settings.DPI_LEVEL.load(), 4);
}

TEST_F(ReaderAndPlayer, DpiTakeOverThenTheButtonsHostAction) {
  state.Settings.K[5] = 21;
  state.Link.HostHandled[5] = true;  // as the last Apply left it
  PressAndPlay(5, 2);
  EXPECT_EQ(state.Settings.DPI_LEVEL.load(), 2);
  EXPECT_EQ(feature.Reports().size(), 1u);
}

TEST_F(ReaderAndPlayer, LevelBeyondTheTableIsNotTakenOver) {
  state.Settings.K[5] = 6;
  state.Link.HostHandled[5] = true;
  state.Settings.DPI_LEVEL = 2;
  PressAndPlay(5, 6);
  PressAndPlay(5, 0x7F);
  EXPECT_EQ(state.Settings.DPI_LEVEL.load(), 2);
  EXPECT_EQ(window.invalidations.load(), 0);
  EXPECT_TRUE(ini.Writes().empty());
}

TEST_F(ReaderAndPlayer, ButtonNotHostHandledLeavesTheLevel) {
  state.Settings.K[5] = 6;  // assigned, not yet applied
  state.Settings.DPI_LEVEL = 1;
  PressAndPlay(5, 3);
  EXPECT_EQ(state.Settings.DPI_LEVEL.load(), 1);
  EXPECT_TRUE(ini.Writes().empty());
}

// ---- Playing macros ----

struct RepetitionCase {
  std::uint8_t mode;
  std::uint16_t repeatCount;
  int repetitions;
};

class Repetitions : public ReaderAndPlayer, public ::testing::WithParamInterface<RepetitionCase> {};

TEST_P(Repetitions, UserMacroPlaysItsRepetitionsEachEndingWithTheRelease) {
  const RepetitionCase& c = GetParam();
  AssignUserMacro(0, 3, TapMacro(c.mode, c.repeatCount));
  PressAndPlay(0);
  EXPECT_EQ(feature.Reports().size(), static_cast<std::size_t>(c.repetitions * kTapReports));
  EXPECT_EQ(UserMacroRepetitions(state.UserMacros.slots[3]), c.repetitions);
}

INSTANTIATE_TEST_SUITE_P(Modes, Repetitions,
                         ::testing::Values(RepetitionCase{0, 7, 1}, RepetitionCase{1, 3, 3},
                                           RepetitionCase{1, 0, 0},  // plays nothing, no release either
                                           RepetitionCase{2, 3, kHeldModeRepetitions},
                                           RepetitionCase{3, 1, kHeldModeRepetitions}));

TEST_F(ReaderAndPlayer, MacroSendsItsEventsAndReleasesEverything) {
  AssignUserMacro(
      0, 0,
      MakeMacro(0, 0,
                {{kKeyA, kActionPress, 0}, {kLeftButtonCode, kActionPress, 0}, {kLeftButtonCode, kActionRelease, 0}}));
  PressAndPlay(0);
  const auto heads = feature.Heads(4);
  ASSERT_EQ(heads.size(), 5u);
  EXPECT_EQ(heads[0], (Bytes{7, 0x15, kKeyA, 0}));
  EXPECT_EQ(heads[1][1], 0x16);
  EXPECT_EQ(heads[1][3], 0xFE);
  EXPECT_EQ(heads[2][3], 0xFF);
  EXPECT_EQ(heads[3][1], 0x16);                 // the release: buttons first,
  EXPECT_EQ(heads[4], (Bytes{7, 0x15, 0, 0}));  // then the keys
}

TEST_F(ReaderAndPlayer, WaitsAreAtLeastTenMillisecondsAgainstAbsoluteDeadlines) {
  AssignUserMacro(0, 0, MakeMacro(0, 0, {{kKeyA, kActionPress, 0}, {kKeyA, kActionRelease, 25}, {5, kActionPress, 9}}));
  feature.SetSendTime(milliseconds(3));  // each report takes time to send

  PressAndPlay(0);

  // Waits 10 (delay 0), 25, 10 (delay 9), then the two release waits; the
  // very first send's 3 ms are counted, every later send's absorbed.
  EXPECT_EQ(clock.DeadlinesMs(), (std::vector<long>{13, 38, 48, 58, 68}));
  EXPECT_EQ(feature.SentAtMs(), (std::vector<long>{0, 13, 38, 58, 68}));
}

TEST_F(ReaderAndPlayer, AfterAStallTheScheduleStartsAfreshInsteadOfBursting) {
  AssignUserMacro(0, 0,
                  MakeMacro(0, 0, {{kKeyA, kActionPress, 10}, {kKeyA, kActionRelease, 30}, {5, kActionPress, 10}}));
  clock.SetLateness({milliseconds(50)});  // the first wait overruns by 50 ms

  PressAndPlay(0);

  const std::vector<long> sent = feature.SentAtMs();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[1], 60);
  EXPECT_EQ(sent[2] - sent[1], 30);
  EXPECT_EQ(sent[3] - sent[2], 20);  // the last event's wait and the first release wait
  EXPECT_EQ(sent[4] - sent[3], 10);
}

// The gaps as the mouse gets the reports (when each send returns), for a
// macro of four events with 10 ms waits: 10, 10, 10, then the last wait and
// the first release wait (20), then 10 to the keys' release.
struct ScheduleCase {
  const char* name;
  std::vector<milliseconds> sendTimes;  // by report; 1 ms for the rest
  std::vector<microseconds> lateness;   // of each sleep, by index
  std::vector<microseconds> gaps;
};

class MacroSchedule : public ReaderAndPlayer, public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(MacroSchedule, GapsAreNeverShorterThanTheirWaitAndSendTimeDoesNotAddUp) {
  const ScheduleCase& c = GetParam();
  AssignUserMacro(
      0, 0,
      MakeMacro(
          0, 0,
          {{kKeyA, kActionPress, 10}, {kKeyA, kActionRelease, 10}, {5, kActionPress, 10}, {5, kActionRelease, 10}}));
  feature.SetSendTime(milliseconds(1));
  feature.SetSendTimes(c.sendTimes);
  clock.SetLateness(c.lateness);

  PressAndPlay(0);

  const std::vector<Clock::TimePoint> received = feature.ReceivedAt();
  const std::vector<microseconds> waits{10ms, 10ms, 10ms, 20ms, 10ms};
  ASSERT_EQ(received.size(), waits.size() + 1);
  std::vector<microseconds> gaps;
  for (std::size_t i = 1; i < received.size(); ++i) {
    gaps.push_back(std::chrono::duration_cast<microseconds>(received[i] - received[i - 1]));
    EXPECT_GE(gaps.back(), waits[i - 1]) << "gap " << i;
  }
  EXPECT_EQ(gaps, c.gaps);
}

INSTANTIATE_TEST_SUITE_P(
    SendsAndWakeUps, MacroSchedule,
    ::testing::Values(
        // The very first send is counted whole: nothing tells yet what part
        // of it every send takes. From then on the send time is absorbed.
        ScheduleCase{"SteadySendsAreAbsorbed", {}, {}, {11ms, 10ms, 10ms, 20ms, 10ms}},
        // The third report reaches the mouse 5 ms late: the next gap is
        // still 10, the rest of the macro comes 5 ms later.
        ScheduleCase{"SlowSendDelaysTheRest", {1ms, 1ms, 6ms}, {}, {11ms, 15ms, 10ms, 20ms, 10ms}},
        // A send slower than the wait is not followed by one at once.
        ScheduleCase{"SendSlowerThanTheWait", {1ms, 1ms, 14ms}, {}, {11ms, 23ms, 10ms, 20ms, 10ms}},
        // A first send slower than the rest is counted whole.
        ScheduleCase{"SlowFirstSend", {7ms}, {}, {11ms, 10ms, 10ms, 20ms, 10ms}},
        ScheduleCase{"LateWakeUpDelaysTheRest", {}, {0ms, 4ms}, {11ms, 14ms, 10ms, 20ms, 10ms}},
        // Late from the last event's wait, with no report before the
        // release's wait: the release's wait absorbs it.
        ScheduleCase{"LateWakeUpBeforeTheReleaseIsAbsorbed", {}, {0ms, 0ms, 0ms, 4ms}, {11ms, 10ms, 10ms, 20ms, 10ms}},
        // A suspend: the schedule goes on from the wake-up, no burst.
        ScheduleCase{"StallRestartsTheSchedule", {}, {10000ms}, {10011ms, 10ms, 10ms, 20ms, 10ms}},
        // Timers that always fire 150 µs late: only the first wake-up's
        // lateness shows, the schedule wakes that much ahead afterwards.
        ScheduleCase{
            "TimerLatenessIsWokenAheadOf", {}, std::vector<microseconds>(12, 150us), {11150us, 10ms, 10ms, 20ms, 10ms}},
        // A timer quicker than any before wakes before the deadline: the
        // player sleeps on to it rather than send early.
        ScheduleCase{"EarlyWakeUpSleepsOnToTheDeadline", {}, {150us}, {11150us, 10ms, 10ms, 20ms, 10ms}}),
    [](const ::testing::TestParamInfo<ScheduleCase>& info) { return std::string(info.param.name); });

// The same macro on a real-time thread: each wait sleeps to a margin before
// its deadline and spins the rest, so a wake-up within the margin costs
// nothing; only one later than the margin moves the rest of the macro.
struct SpinCase {
  const char* name;
  std::vector<milliseconds> sendTimes;  // by report; 1 ms for the rest
  std::vector<microseconds> lateness;   // of each sleep, by index
  std::vector<microseconds> gaps;
  std::vector<microseconds> spins;  // how long each wait spun
  friend void PrintTo(const SpinCase& c, std::ostream* os) { *os << c.name; }
};

class SpinningSchedule : public ReaderAndPlayer, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(SpinningSchedule, ReportsLeaveAtTheirDeadlinesAndNoGapIsShort) {
  const SpinCase& c = GetParam();
  player.UseWaitFinish(WaitFinish::Spin);
  AssignUserMacro(
      0, 0,
      MakeMacro(
          0, 0,
          {{kKeyA, kActionPress, 10}, {kKeyA, kActionRelease, 10}, {5, kActionPress, 10}, {5, kActionRelease, 10}}));
  feature.SetSendTime(milliseconds(1));
  feature.SetSendTimes(c.sendTimes);
  clock.SetLateness(c.lateness);

  PressAndPlay(0);

  const std::vector<Clock::TimePoint> received = feature.ReceivedAt();
  const std::vector<microseconds> waits{10ms, 10ms, 10ms, 20ms, 10ms};
  ASSERT_EQ(received.size(), waits.size() + 1);
  std::vector<microseconds> gaps;
  for (std::size_t i = 1; i < received.size(); ++i) {
    gaps.push_back(std::chrono::duration_cast<microseconds>(received[i] - received[i - 1]));
    EXPECT_GE(gaps.back(), waits[i - 1]) << "gap " << i;
  }
  EXPECT_EQ(gaps, c.gaps);
  EXPECT_EQ(clock.Spins(), c.spins);
  for (const microseconds spin : clock.Spins()) EXPECT_LE(spin, EventSchedule::kLongestSpin);
}

INSTANTIATE_TEST_SUITE_P(
    SendsAndWakeUps, SpinningSchedule,
    ::testing::Values(
        // Timers 150 µs late: the first margin (200 µs) covers them, then
        // the margin is the lateness seen and 50 µs.
        SpinCase{"LatenessWithinTheMarginCostsNothing",
                 {},
                 std::vector<microseconds>(12, 150us),
                 {11ms, 10ms, 10ms, 20ms, 10ms},
                 {50us, 50us, 50us, 50us, 50us, 50us}},
        // A timer on time: the margin sinks to 50 µs, all of it spun.
        SpinCase{"TimelyTimers", {}, {}, {11ms, 10ms, 10ms, 20ms, 10ms}, {200us, 50us, 50us, 50us, 50us, 50us}},
        // A wake-up 700 µs late leaves 650 µs past its deadline; the rest
        // follows it, and the margin rises to its longest (500 µs).
        SpinCase{"WakeUpLaterThanTheMarginDelaysTheRest",
                 {},
                 {0us, 700us},
                 {11ms, 10650us, 10ms, 20ms, 10ms},
                 {200us, 500us, 500us, 500us, 500us}},
        // A slow send moves the rest later, as when sleeping.
        SpinCase{"SlowSendDelaysTheRest",
                 {1ms, 1ms, 6ms},
                 {},
                 {11ms, 15ms, 10ms, 20ms, 10ms},
                 {200us, 50us, 50us, 50us, 50us, 50us}},
        // A suspend: the schedule goes on from the wake-up, no burst. The
        // stall counts as the longest spin, and the margin sinks back from there.
        SpinCase{"StallRestartsTheSchedule",
                 {},
                 {10000ms},
                 {10010800us, 10ms, 10ms, 20ms, 10ms},
                 {500us, 500us, 500us, 500us, 490us}}),
    [](const ::testing::TestParamInfo<SpinCase>& info) { return std::string(info.param.name); });

TEST(WaitFinish, OnlyRealTimeThreadsSpin) {
  EXPECT_EQ(WaitFinishFor({PriorityGrant::Kind::Normal, 0}), WaitFinish::Sleep);
  EXPECT_EQ(WaitFinishFor({PriorityGrant::Kind::Nice, -10}), WaitFinish::Sleep);
  EXPECT_EQ(WaitFinishFor({PriorityGrant::Kind::RealtimeKit, 10}), WaitFinish::Spin);
  EXPECT_EQ(WaitFinishFor({PriorityGrant::Kind::Fifo, 1}), WaitFinish::Spin);
}

TEST_F(ReaderAndPlayer, LaterMacrosAbsorbTheSendTimeFromTheirFirstGap) {
  AssignUserMacro(0, 0, MakeMacro(0, 0, {{kKeyA, kActionPress, 10}, {kKeyA, kActionRelease, 10}}));
  feature.SetSendTime(milliseconds(1));
  PressAndPlay(0);
  PressAndPlay(0);

  const std::vector<Clock::TimePoint> received = feature.ReceivedAt();
  ASSERT_EQ(received.size(), 8u);
  // The second macro: key, key, buttons, keys.
  EXPECT_EQ(received[5] - received[4], 10ms);
  EXPECT_EQ(received[6] - received[5], 20ms);
  EXPECT_EQ(received[7] - received[6], 10ms);
}

TEST_F(ReaderAndPlayer, SecondPressStopsAToggleMacroAfterTheCurrentRepetition) {
  AssignUserMacro(1, 0, TapMacro(1, 50));
  clock.SetHook([&](int sleep) {
    if (sleep == kTapSleeps + 1) reader.HandleReport(Press(1));  // inside the second repetition
  });
  PressAndPlay(1);
  EXPECT_EQ(feature.Reports().size(), 2u * kTapReports);
  EXPECT_EQ(state.Link.PlayRequest.load(), 0);  // the second press started nothing
  EXPECT_EQ(state.Link.StopRequest.load(), 0);
}

TEST_F(ReaderAndPlayer, ReleaseStopsAWhileHeldMacroAfterTheCurrentRepetition) {
  AssignUserMacro(1, 0, TapMacro(2));
  clock.SetHook([&](int sleep) {
    if (sleep == 2 * kTapSleeps + 2) reader.HandleReport(Release(1));  // inside the third repetition
  });
  PressAndPlay(1);
  EXPECT_EQ(feature.Reports().size(), 3u * kTapReports);
}

TEST_F(ReaderAndPlayer, StopRaisedWhileNothingPlaysDoesNotStopTheNextMacro) {
  AssignUserMacro(1, 0, TapMacro(2));     // while held
  AssignUserMacro(0, 1, TapMacro(1, 3));  // three repetitions
  reader.HandleReport(Release(1));        // a held button's release while idle
  ASSERT_EQ(state.Link.StopRequest.load(), 1);
  PressAndPlay(0);
  EXPECT_EQ(feature.Reports().size(), 3u * kTapReports);
}

TEST_F(ReaderAndPlayer, MacroEditedWhilePlayingKeepsPlayingWhatStarted) {
  AssignUserMacro(0, 0, TapMacro(1, 2));
  clock.SetHook([&](int sleep) {
    if (sleep == 0) {
      state.UserMacros.slots[0].eventCount = 0;
      PublishMacros(state);
    }
  });
  PressAndPlay(0);
  EXPECT_EQ(feature.Reports().size(), 2u * kTapReports);
}

}  // namespace
}  // namespace tolvar::testing
