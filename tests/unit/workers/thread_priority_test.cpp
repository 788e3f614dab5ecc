// The order in which a worker thread's priority is raised: RealtimeKit
// first, then SCHED_FIFO set directly, then the lowest nice value allowed;
// the system calls are fakes that grant or refuse.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/thread_priority_linux.h"

namespace tolvar::testing {
namespace {

class FakeSchedulingCalls final : public SchedulingCalls {
 public:
  std::optional<int> AskRealtimeKit(int wanted) override {
    calls.push_back("RealtimeKit " + std::to_string(wanted));
    return realtimeKit;
  }
  std::optional<int> SetFifo(int wanted) override {
    calls.push_back("SCHED_FIFO " + std::to_string(wanted));
    return fifo;
  }
  int LowestAllowedNice() override { return lowestNice; }
  std::optional<int> CurrentNice() override { return currentNice; }
  bool SetNice(int nice) override {
    calls.push_back("nice " + std::to_string(nice));
    return niceAccepted;
  }
  void LowerTimerSlack() override { calls.push_back("timer slack"); }

  std::optional<int> realtimeKit;
  std::optional<int> fifo;
  int lowestNice = 20;
  std::optional<int> currentNice = 0;
  bool niceAccepted = true;
  std::vector<std::string> calls;
};

struct FallbackCase {
  const char* name;
  std::optional<int> realtimeKit;
  std::optional<int> fifo;
  int lowestNice;
  std::optional<int> currentNice;
  bool niceAccepted;
  PriorityGrant::Kind kind;
  int level;
  std::vector<std::string> calls;
};

class PriorityFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(PriorityFallback, TakesTheFirstThatIsGranted) {
  const FallbackCase& c = GetParam();
  FakeSchedulingCalls calls;
  calls.realtimeKit = c.realtimeKit;
  calls.fifo = c.fifo;
  calls.lowestNice = c.lowestNice;
  calls.currentNice = c.currentNice;
  calls.niceAccepted = c.niceAccepted;

  const PriorityGrant grant = LinuxThreadPriority(calls).RaiseCurrentThread();

  EXPECT_EQ(grant.kind, c.kind);
  EXPECT_EQ(grant.level, c.level);
  EXPECT_EQ(calls.calls, c.calls);
}

using Kind = PriorityGrant::Kind;
const std::vector<std::string> kBothRealtimeAttempts{"timer slack", "RealtimeKit 10", "SCHED_FIFO 10"};

INSTANTIATE_TEST_SUITE_P(
    Attempts, PriorityFallback,
    ::testing::Values(
        FallbackCase{"RealtimeKitGrants", 10, 10, 0, 0, true, Kind::RealtimeKit, 10, {"timer slack", "RealtimeKit 10"}},
        FallbackCase{
            "RealtimeKitGrantsLess", 5, 10, 0, 0, true, Kind::RealtimeKit, 5, {"timer slack", "RealtimeKit 10"}},
        FallbackCase{"RealtimeKitRefusesFifoAllowed", std::nullopt, 10, 0, 0, true, Kind::Fifo, 10,
                     kBothRealtimeAttempts},
        FallbackCase{"OnlyNiceAllowed",
                     std::nullopt,
                     std::nullopt,
                     -5,
                     0,
                     true,
                     Kind::Nice,
                     -5,
                     {"timer slack", "RealtimeKit 10", "SCHED_FIFO 10", "nice -5"}},
        // RLIMIT_NICE 0: nothing lower than the current value is allowed.
        FallbackCase{"NothingAllowed", std::nullopt, std::nullopt, 20, 0, true, Kind::Normal, 0, kBothRealtimeAttempts},
        FallbackCase{"AlreadyNicerThanAllowed", std::nullopt, std::nullopt, -5, -10, true, Kind::Nice, -10,
                     kBothRealtimeAttempts},
        FallbackCase{"NiceRefused",
                     std::nullopt,
                     std::nullopt,
                     -5,
                     0,
                     false,
                     Kind::Normal,
                     0,
                     {"timer slack", "RealtimeKit 10", "SCHED_FIFO 10", "nice -5"}},
        FallbackCase{"NiceUnreadable", std::nullopt, std::nullopt, -5, std::nullopt, true, Kind::Normal, 0,
                     kBothRealtimeAttempts}),
    [](const ::testing::TestParamInfo<FallbackCase>& info) { return std::string(info.param.name); });

TEST(PriorityGrantText, SaysWhatWasGrantedAndHow) {
  EXPECT_EQ(Describe({Kind::RealtimeKit, 10}), "real-time 10 (RealtimeKit)");
  EXPECT_EQ(Describe({Kind::Fifo, 7}), "real-time 7 (SCHED_FIFO)");
  EXPECT_EQ(Describe({Kind::Nice, -5}), "nice -5");
  EXPECT_EQ(Describe({}), "normal");
}

}  // namespace
}  // namespace tolvar::testing
