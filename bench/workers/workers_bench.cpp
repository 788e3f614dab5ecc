// The workers against a reference that polls every 2 ms and one that sleeps
// each wait after sending: each benchmark measures both in the same run and
// prints them with their ratio (ours / reference).
//   press_latency: press report written to the input node → first feature report
//   idle_wakeups: voluntary context switches of an idle process over 10 s
//   macro_timing: 500 events with 10 ms waits, reports that take 1 ms to send
//   (drift and gap errors against the macro's own schedule)
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "app/workers.h"
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
class NullIni final : public IniStore {
 public:
  std::u16string Read(const std::string&, std::u16string_view, std::u16string_view, std::size_t) override {
    return {};
  }
  bool Write(const std::string&, std::u16string_view, std::u16string_view, std::u16string_view) override {
    return true;
  }
  bool WriteBatch(const std::string&, const std::vector<IniEntry>&) override { return true; }
};
class NullLauncher final : public ProgramLauncher {
 public:
  void Start(SystemProgram) override {}
};

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
  state.ButtonIndexByNumber = BuildButtonIndexByNumber();
  state.Settings.K[kConsumerKeyButton] = 21;
  state.Reporter.Attach(&feature, 8);
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()));
  return values[index];
}

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
  state.Link.InputReportByteLength = 3;
  state.Link.InputChannel.store(&input);
  Ports ports;
  auto workers = StartWorkers(state, ports.Worker());
  auto latencies = MeasurePresses(input, feature, [&] {
    while (state.PlayRequest.load() != 0) std::this_thread::yield();
  });
  input.CloseWriter();
  workers.reset();
  state.Reporter.Attach(nullptr, 0);
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
      state.Reporter.Send([](std::span<std::uint8_t> report) { compose::ConsumerKey(report, 0x0223); });
    });
    latencies = MeasurePresses(input, feature, [&] {
      while (reference.request.load() != 0) std::this_thread::yield();
    });
  }
  state.Reporter.Attach(nullptr, 0);
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
  state.Link.InputReportByteLength = 3;
  state.Link.InputChannel.store(&input);
  Ports ports;
  auto workers = StartWorkers(state, ports.Worker());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // both threads at rest
  const long switches = SwitchesOver(kIdleSpan);
  input.CloseWriter();
  workers.reset();
  state.Reporter.Attach(nullptr, 0);
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

struct TimingError {
  double driftMs;   // total span less the sum of the scheduled gaps
  double gapP99Ms;  // 99th percentile of |gap − scheduled gap|
};

TimingError ErrorOf(const std::vector<Clock::time_point>& sent) {
  const std::vector<int> gaps = ScheduledGaps();
  if (sent.size() != gaps.size() + 1) return {-1, -1};
  std::vector<double> gapErrors;
  double scheduled = 0;
  for (std::size_t i = 1; i < sent.size(); ++i) {
    const double gap = std::chrono::duration<double, std::milli>(sent[i] - sent[i - 1]).count();
    gapErrors.push_back(std::abs(gap - gaps[i - 1]));
    scheduled += gaps[i - 1];
  }
  const double span = std::chrono::duration<double, std::milli>(sent.back() - sent.front()).count();
  return {span - scheduled, Percentile(gapErrors, 0.99)};
}

TimingError OurMacroTiming() {
  AppState state;
  TimedChannel feature(kSendCost);
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
  InputReportReader reader(state);
  HostFunctionPlayer player(state, ports.window, ports.ini, ports.clock, ports.launcher);
  reader.HandleReport(
      std::vector<std::uint8_t>{0, static_cast<std::uint8_t>(kButtonEventBase + ButtonNumberTable[0]), 1});
  player.RunPass();
  state.Reporter.Attach(nullptr, 0);
  return ErrorOf(feature.Sent());
}

// The reference: send, then sleep the scheduled gap.
TimingError SleepingMacroTiming() {
  TimedChannel feature(kSendCost);
  const std::uint8_t report[8] = {7, 0x15};
  feature.SendFeature(report);
  for (const int gap : ScheduledGaps()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(gap));
    feature.SendFeature(report);
  }
  return ErrorOf(feature.Sent());
}

void BM_MacroTiming(benchmark::State& bench) {
  for (auto _ : bench) {
    const TimingError ours = OurMacroTiming();
    const TimingError sleeping = SleepingMacroTiming();
    bench.counters["ours_drift_ms"] = ours.driftMs;
    bench.counters["sleeping_drift_ms"] = sleeping.driftMs;
    bench.counters["drift_ratio"] = ours.driftMs / sleeping.driftMs;
    bench.counters["ours_gap_err_p99_ms"] = ours.gapP99Ms;
    bench.counters["sleeping_gap_err_p99_ms"] = sleeping.gapP99Ms;
    bench.counters["gap_err_p99_ratio"] = ours.gapP99Ms / sleeping.gapP99Ms;
  }
}
BENCHMARK(BM_MacroTiming)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tolvar

BENCHMARK_MAIN();
