// The workers against a reference that polls every 2 ms and one that sleeps
// each wait after sending: each benchmark measures both in the same run and
// prints them with their ratio (ours / reference).
//   press_latency: press report written to the input node → first feature report
//   idle_wakeups: voluntary context switches of an idle process over 10 s
//   macro_timing: 500 events with 10 ms waits, reports that take 1 ms to send
//   and reach the mouse as the send returns; drift and gap errors against
//   the macro's own schedule, on a quiet machine and with a busy process on
//   every core, for four players: ours at the priority it is granted
//   ("rt_", the grant in the label, its waits ending as that grant chooses),
//   ours at the same priority with the waits of normal priority, which only
//   sleep ("rt_sleeps_only_"), ours at normal priority ("normal_"), and the
//   reference that sends, then sleeps each gap ("sleeping_")
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/event_schedule.h"
#include "app/startup.h"
#include "app/workers.h"
#include "bench_load.h"
#include "platform/linux/monotonic_clock_linux.h"
#include "platform/linux/thread_priority_linux.h"
#include "support/null_ports.h"
#include "support/still_window.h"

namespace tolvar {
namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::duration<double, std::micro>;

constexpr std::uint8_t kConsumerKeyButton = 2;  // K2 = 21: one report per press
constexpr int kPresses = 200;
constexpr auto kIdleSpan = std::chrono::seconds(10);
constexpr int kMacroEvents = 500;
constexpr int kMacroWaitMs = 10;
constexpr auto kSendCost = std::chrono::milliseconds(1);

// An input node stand-in: a pipe, read with a blocking read(2).
class PipeChannel final : public HidInputChannel {
 public:
  PipeChannel() { (void)pipe(fds_); }
  ~PipeChannel() override {
    CloseWriter();
    close(fds_[0]);
  }
  int Read(std::span<std::uint8_t> buffer) override {
    return static_cast<int>(read(fds_[0], buffer.data(), buffer.size()));
  }
  void Write(const std::vector<std::uint8_t>& report) { (void)write(fds_[1], report.data(), report.size()); }
  void CloseWriter() {
    if (fds_[1] >= 0) close(fds_[1]);
    fds_[1] = -1;
  }

 private:
  int fds_[2] = {-1, -1};
};

// Records when each feature report was sent; a send may take a while.
class TimedChannel final : public HidFeatureChannel {
 public:
  explicit TimedChannel(Clock::duration cost = {}) : cost_(cost) {}
  bool SendFeature(std::span<const std::uint8_t>) override {
    {
      std::lock_guard lock(mutex_);
      sent_.push_back(Clock::now());
    }
    changed_.notify_all();
    if (cost_ > Clock::duration::zero()) std::this_thread::sleep_for(cost_);
    return true;
  }
  Clock::time_point WaitForSend(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return sent_.size() > index; });
    return sent_[index];
  }
  std::vector<Clock::time_point> Sent() {
    std::lock_guard lock(mutex_);
    return sent_;
  }

 private:
  Clock::duration cost_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Clock::time_point> sent_;
};

using NullWindow = testing::StillWindow;
using testing::NullIni;
using testing::NullLauncher;

struct Ports {
  NullWindow window;
  NullIni ini;
  NullLauncher launcher;
  SteadyClock clock;
  WorkerPorts Worker() { return WorkerPorts{window, ini, clock, launcher, {}}; }
};

std::vector<std::uint8_t> PressReport() {
  return {0, static_cast<std::uint8_t>(kButtonEventBase + ButtonNumberTable[kConsumerKeyButton]), 1};
}

void PrepareState(AppState& state, HidFeatureChannel& feature) {
  state.Settings.K[kConsumerKeyButton] = 21;
  state.Link.Reporter.Attach(&feature, 8);
}

using bench::Percentile;

// ---- press latency ----

// Presses one at a time; each latency is from the write to the first report.
template <typename WaitUntilIdle>
std::vector<double> MeasurePresses(PipeChannel& input, TimedChannel& feature, WaitUntilIdle idle) {
  std::vector<double> latencies;
  for (int i = 0; i < kPresses; ++i) {
    // Spread the presses over the reference's polling period.
    std::this_thread::sleep_for(std::chrono::microseconds(500 + (i * 397) % 2000));
    const Clock::time_point written = Clock::now();
    input.Write(PressReport());
    latencies.push_back(Micros(feature.WaitForSend(i) - written).count());
    idle();
  }
  return latencies;
}

std::vector<double> OurPressLatencies() {
  AppState state;
  TimedChannel feature;
  PrepareState(state, feature);
  PipeChannel input;
  state.Link.Device.InputReportByteLength = 3;
  state.Link.Device.InputChannel.store(&input);
  Ports ports;
  auto workers = StartWorkers(state.Link, ports.Worker());
  auto latencies = MeasurePresses(input, feature, [&] {
    while (state.Link.PlayRequest.load() != 0) std::this_thread::yield();
  });
  input.CloseWriter();
  workers.reset();
  state.Link.Reporter.Attach(nullptr, 0);
  return latencies;
}

// The reference design: the reader raises a flag, the player looks at it
// every 2 ms and acts on it. Ends its threads when destroyed.
class PollingReference {
 public:
  PollingReference(PipeChannel& input, std::function<void()> act)
      : input_(input),
        act_(std::move(act)),
        reader_([this] {
          std::uint8_t buffer[3];
          while (input_.Read(buffer) > 0) request.store(1);
        }),
        player_([this] {
          while (running_.load()) {
            if (request.load() != 0) {
              if (act_) act_();
              request.store(0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
        }) {}
  ~PollingReference() {
    input_.CloseWriter();
    reader_.join();
    running_.store(false);
    player_.join();
  }

  std::atomic<int> request{0};

 private:
  PipeChannel& input_;
  std::function<void()> act_;
  std::atomic<bool> running_{true};
  std::thread reader_;
  std::thread player_;
};

// The reference: the reader raises a flag, the player looks every 2 ms.
std::vector<double> PollingPressLatencies() {
  AppState state;
  TimedChannel feature;
  PrepareState(state, feature);
  PipeChannel input;
  std::vector<double> latencies;
  {
    PollingReference reference(input, [&] {
      state.Link.Reporter.Send([](std::span<std::uint8_t> report) { compose::ConsumerKey(report, 0x0223); });
    });
    latencies = MeasurePresses(input, feature, [&] {
      while (reference.request.load() != 0) std::this_thread::yield();
    });
  }
  state.Link.Reporter.Attach(nullptr, 0);
  return latencies;
}

void BM_PressLatency(benchmark::State& bench) {
  for (auto _ : bench) {
    const auto ours = OurPressLatencies();
    const auto polling = PollingPressLatencies();
    const double oursMedian = Percentile(ours, 0.5), pollingMedian = Percentile(polling, 0.5);
    const double ours99 = Percentile(ours, 0.99), polling99 = Percentile(polling, 0.99);
    bench.counters["ours_median_us"] = oursMedian;
    bench.counters["polling_median_us"] = pollingMedian;
    bench.counters["median_ratio"] = oursMedian / pollingMedian;
    bench.counters["ours_p99_us"] = ours99;
    bench.counters["polling_p99_us"] = polling99;
    bench.counters["p99_ratio"] = ours99 / polling99;
  }
}
BENCHMARK(BM_PressLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- idle wake-ups ----

// Voluntary context switches of every thread of the process but the calling one.
long OtherThreadsSwitches() {
  long total = 0;
  const std::string self = std::to_string(gettid());
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return 0;
  while (const dirent* entry = readdir(tasks)) {
    const std::string tid = entry->d_name;
    if (tid == "." || tid == ".." || tid == self) continue;
    std::ifstream status("/proc/self/task/" + tid + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::stol(line.substr(24));
    }
  }
  closedir(tasks);
  return total;
}

long SwitchesOver(std::chrono::seconds span) {
  const long before = OtherThreadsSwitches();
  std::this_thread::sleep_for(span);
  return OtherThreadsSwitches() - before;
}

long OurIdleSwitches() {
  AppState state;
  TimedChannel feature;
  PrepareState(state, feature);
  PipeChannel input;
  state.Link.Device.InputReportByteLength = 3;
  state.Link.Device.InputChannel.store(&input);
  Ports ports;
  auto workers = StartWorkers(state.Link, ports.Worker());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // both threads at rest
  const long switches = SwitchesOver(kIdleSpan);
  input.CloseWriter();
  workers.reset();
  state.Link.Reporter.Attach(nullptr, 0);
  return switches;
}

long PollingIdleSwitches() {
  PipeChannel input;
  PollingReference reference(input, {});
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return SwitchesOver(kIdleSpan);
}

void BM_IdleWakeups(benchmark::State& bench) {
  for (auto _ : bench) {
    const long ours = OurIdleSwitches();
    const long polling = PollingIdleSwitches();
    bench.counters["ours_wakeups_10s"] = static_cast<double>(ours);
    bench.counters["polling_wakeups_10s"] = static_cast<double>(polling);
    bench.counters["wakeup_ratio"] = static_cast<double>(ours) / static_cast<double>(std::max(polling, 1L));
  }
}
BENCHMARK(BM_IdleWakeups)->Iterations(1)->Unit(benchmark::kSecond);

// ---- macro timing ----

// A macro holds at most 255 events: 500 events are two repetitions of 250.
constexpr int kEventsPerRepetition = kMacroEvents / 2;

// The gap before each report after the first, as the macro schedules them:
// 10 ms after every event, then the release (10 ms, buttons, 10 ms, keys)
// and the next repetition's first event at once.
std::vector<int> ScheduledGaps() {
  std::vector<int> gaps;
  for (int repetition = 0; repetition < 2; ++repetition) {
    if (repetition > 0) gaps.push_back(0);
    for (int e = 1; e < kEventsPerRepetition; ++e) gaps.push_back(kMacroWaitMs);
    gaps.push_back(2 * kMacroWaitMs);
    gaps.push_back(kMacroWaitMs);
  }
  return gaps;
}

// Each send takes kSendCost; the mouse has the report when the send returns.
class ReceivingChannel final : public HidFeatureChannel {
 public:
  bool SendFeature(std::span<const std::uint8_t>) override {
    std::this_thread::sleep_for(kSendCost);
    received_.push_back(std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count());
    return true;
  }
  bench::GapStats Stats() const { return bench::GapStatsOf(received_, ScheduledGaps()); }

 private:
  std::vector<double> received_;
};

// Runs `play` on a thread of its own and waits for it.
template <typename Play>
void OnOwnThread(Play play) {
  std::thread thread(play);
  thread.join();
}

// Our player on a thread that first asks `priority` for the highest
// priority, or stays at normal priority when it is null. With `asGranted`
// its waits end as the grant chooses (as the program's player does),
// otherwise they always end sleeping (the schedule of normal priority).
bench::GapStats OurMacroTiming(ThreadPriority* priority, bool asGranted, PriorityGrant& granted) {
  AppState state;
  ReceivingChannel feature;
  PrepareState(state, feature);
  Macro& macro = state.UserMacros.slots[0];
  macro.mode = 1;
  macro.repeatCount = 2;
  macro.eventCount = 0;
  for (int i = 0; i < kEventsPerRepetition / 2; ++i) {
    macro.events[macro.eventCount++] = {4, kActionPress, kMacroWaitMs};
    macro.events[macro.eventCount++] = {4, kActionRelease, kMacroWaitMs};
  }
  state.Settings.K[0] = 41;
  PublishMacros(state);
  Ports ports;
  MonotonicClock clock;
  InputReportReader reader(state.Link);
  HostFunctionPlayer player(state.Link, ports.window, ports.ini, clock, ports.launcher);
  reader.HandleReport(
      std::vector<std::uint8_t>{0, static_cast<std::uint8_t>(kButtonEventBase + ButtonNumberTable[0]), 1});
  OnOwnThread([&] {
    if (priority != nullptr) granted = priority->RaiseCurrentThread();
    if (asGranted) player.UseWaitFinish(WaitFinishFor(granted));
    player.RunPass();
  });
  state.Link.Reporter.Attach(nullptr, 0);
  return feature.Stats();
}

// The reference: send, then sleep the scheduled gap.
bench::GapStats SleepingMacroTiming() {
  ReceivingChannel feature;
  OnOwnThread([&] {
    const std::uint8_t report[8] = {7, 0x15};
    feature.SendFeature(report);
    for (const int gap : ScheduledGaps()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(gap));
      feature.SendFeature(report);
    }
  });
  return feature.Stats();
}

void Report(benchmark::State& bench, const std::string& player, const bench::GapStats& stats) {
  bench.counters[player + "_drift_ms"] = stats.driftMs;
  bench.counters[player + "_gap_err_p99_ms"] = stats.gapErrP99Ms;
  bench.counters[player + "_gap_err_max_ms"] = stats.gapErrMaxMs;
  bench.counters[player + "_short_gaps"] = stats.shortGaps;
  bench.counters[player + "_short_by_max_us"] = stats.shortestMs * 1000;
}

// range(0): 1 with a busy process on every core, 0 on a quiet machine.
void BM_MacroTiming(benchmark::State& bench) {
  SystemSchedulingCalls calls;
  LinuxThreadPriority highest(calls);
  for (auto _ : bench) {
    std::unique_ptr<bench::BusyCores> load;
    if (bench.range(0) == 1) load = std::make_unique<bench::BusyCores>();
    PriorityGrant granted;
    const bench::GapStats raised = OurMacroTiming(&highest, true, granted);
    const bench::GapStats raisedSleeping = OurMacroTiming(&highest, false, granted);
    PriorityGrant unused;
    const bench::GapStats normal = OurMacroTiming(nullptr, true, unused);
    const bench::GapStats sleeping = SleepingMacroTiming();
    load.reset();
    Report(bench, "rt", raised);
    Report(bench, "rt_sleeps_only", raisedSleeping);
    Report(bench, "normal", normal);
    Report(bench, "sleeping", sleeping);
    bench.SetLabel(std::string(bench.range(0) == 1 ? "loaded" : "quiet") + ", granted: " + Describe(granted));
  }
}
BENCHMARK(BM_MacroTiming)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tolvar

BENCHMARK_MAIN();
