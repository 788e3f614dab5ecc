// A macro as the mouse sees it: the reader and the player, as start-up runs
// them, play a macro of 100 events with 10 ms waits through the simulated
// mouse (tolvar-mouse-sim, its own process, found over its Unix socket). The
// simulator's log stamps each report as it arrives; those stamps are the
// measure. The simulator runs at real-time priority above the workers' when
// the system allows it, so that it stamps a report as soon as it arrives.
//
// range(0): 1 with a busy process on every core, 0 on a quiet machine.
// range(1): the workers' priority and schedule: 2 at the priority they are
// granted (the label says which) with the schedule that priority chooses
// (real-time: sleep to a margin, spin to the deadline); 1 at the same
// priority with the sleeping schedule of normal priority (the player is told
// it has none), the reference for the first; 0 at normal priority.
// Counters, from the simulator's stamps: drift_ms, gap_err_p99_ms,
// gap_err_max_ms, short_gaps and short_by_max_us (the most a gap fell short
// of its wait). The same from the moments our sends returned
// (send_*), and the send's round trip (rtt_p50_us, rtt_max_us): where the
// mouse's figures are worse than the send side's, the time went in the
// transport.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/event_schedule.h"
#include "app/startup.h"
#include "app/workers.h"
#include "bench_load.h"
#include "device/device_link.h"
#include "platform/linux/monotonic_clock_linux.h"
#include "platform/linux/thread_priority_linux.h"
#include "platform/sim/sim_hid_backend.h"
#include "support/null_ports.h"
#include "support/still_window.h"

extern char** environ;

namespace tolvar {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMacroEvents = 100;
constexpr int kMacroWaitMs = 10;
constexpr int kReports = kMacroEvents + 2;  // the events, then the release of buttons and keys
constexpr int kSimulatorPriority = kWorkerRealtimePriority + 10;
constexpr auto kGiveUp = std::chrono::seconds(20);

// The gaps the macro schedules: 10 ms after each event, the last event's
// wait and the first release wait together, then 10 ms to the keys' release.
std::vector<int> ScheduledGaps() {
  std::vector<int> gaps(kMacroEvents - 1, kMacroWaitMs);
  gaps.push_back(2 * kMacroWaitMs);
  gaps.push_back(kMacroWaitMs);
  return gaps;
}

double Ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count(); }

// The simulator in its own process, its commands on a pipe, in a folder of
// its own that goes with it.
class SimulatorProcess {
 public:
  explicit SimulatorProcess(bool realtime) {
    char pattern[] = "/tmp/tolvar-sim-bench-XXXXXX";
    folder_ = mkdtemp(pattern);
    int commands[2];
    if (pipe(commands) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, commands[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, commands[1]);
    const std::string program = TOLVAR_MOUSE_SIM;
    const std::string socket = SocketPath(), log = LogPath();
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>("--socket"),
                            const_cast<char*>(socket.c_str()),  const_cast<char*>("--log"),
                            const_cast<char*>(log.c_str()),     nullptr};
    if (realtime) {
      posix_spawnattr_t attributes;
      posix_spawnattr_init(&attributes);
      const sched_param param{.sched_priority = kSimulatorPriority};
      posix_spawnattr_setschedpolicy(&attributes, SCHED_FIFO);
      posix_spawnattr_setschedparam(&attributes, &param);
      posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSCHEDULER);
      realtime_ = posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ) == 0;
      posix_spawnattr_destroy(&attributes);
    }
    if (!realtime_ && posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(commands[0]);
    commands_ = commands[1];
    const auto giveUp = Clock::now() + kGiveUp;
    while (pid_ > 0 && !std::filesystem::exists(socket) && Clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~SimulatorProcess() {
    close(commands_);  // the end of its commands ends the simulator
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    std::filesystem::remove_all(folder_);
  }

  bool Running() const { return pid_ > 0 && std::filesystem::exists(SocketPath()); }
  bool RealTime() const { return realtime_; }
  std::string SocketPath() const { return folder_ + "/mouse.sock"; }
  std::string LogPath() const { return folder_ + "/mouse.log"; }
  void Command(const std::string& line) {
    const std::string text = line + "\n";
    (void)write(commands_, text.data(), text.size());
  }

  // The stamps (ms) of the key and mouse-button reports (commands 0x15 and
  // 0x16) the simulator logged.
  std::vector<double> KeyReportStamps() const {
    std::vector<double> stamps;
    std::ifstream log(LogPath());
    std::string line;
    while (std::getline(log, line)) {
      std::istringstream fields(line);
      double ms = 0;
      std::string kind, id, command;
      if (fields >> ms >> kind >> id >> command && kind == "F" && (command == "15" || command == "16")) {
        stamps.push_back(ms);
      }
    }
    return stamps;
  }

 private:
  std::string folder_;
  pid_t pid_ = -1;
  int commands_ = -1;
  bool realtime_ = false;
};

// Passes each report on to the simulator's channel and notes when the send
// began and returned.
class StampingChannel final : public HidFeatureChannel {
 public:
  explicit StampingChannel(HidFeatureChannel& channel) : channel_(channel) {}
  bool SendFeature(std::span<const std::uint8_t> report) override {
    const Clock::time_point began = Clock::now();
    const bool sent = channel_.SendFeature(report);
    const Clock::time_point returned = Clock::now();
    std::lock_guard lock(mutex_);
    if (report.size() > 1 && (report[1] == 0x15 || report[1] == 0x16)) {
      began_.push_back(Ms(began));
      returned_.push_back(Ms(returned));
    }
    return sent;
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return returned_.size();
  }
  std::vector<double> Returned() {
    std::lock_guard lock(mutex_);
    return returned_;
  }
  std::vector<double> RoundTripsUs() {
    std::lock_guard lock(mutex_);
    std::vector<double> trips;
    for (std::size_t i = 0; i < began_.size(); ++i) trips.push_back((returned_[i] - began_[i]) * 1000.0);
    return trips;
  }

 private:
  HidFeatureChannel& channel_;
  std::mutex mutex_;
  std::vector<double> began_;
  std::vector<double> returned_;
};

using testing::NullIni;
using testing::NullLauncher;

// Raises the worker threads and keeps the last grant; with `sleepingSchedule`
// it tells the workers they got nothing, so the player keeps the schedule of
// normal priority.
class RecordingPriority final : public ThreadPriority {
 public:
  explicit RecordingPriority(ThreadPriority& priority) : priority_(priority) {}
  void TellNothing(bool sleepingSchedule) { sleepingSchedule_ = sleepingSchedule; }
  PriorityGrant RaiseCurrentThread() override {
    const PriorityGrant grant = priority_.RaiseCurrentThread();
    std::lock_guard lock(mutex_);
    last_ = grant;
    return sleepingSchedule_ ? PriorityGrant{} : grant;
  }
  PriorityGrant Last() {
    std::lock_guard lock(mutex_);
    return last_;
  }

 private:
  ThreadPriority& priority_;
  std::mutex mutex_;
  PriorityGrant last_;
  std::atomic<bool> sleepingSchedule_{false};
};

void Report(benchmark::State& bench, const std::string& prefix, const bench::GapStats& stats) {
  bench.counters[prefix + "drift_ms"] = stats.driftMs;
  bench.counters[prefix + "gap_err_p99_ms"] = stats.gapErrP99Ms;
  bench.counters[prefix + "gap_err_max_ms"] = stats.gapErrMaxMs;
  bench.counters[prefix + "short_gaps"] = stats.shortGaps;
  bench.counters[prefix + "short_by_max_us"] = stats.shortestMs * 1000;
}

void BM_MacroThroughSimulator(benchmark::State& bench) {
  const bool loaded = bench.range(0) == 1, raised = bench.range(1) >= 1, sleeping = bench.range(1) == 1;
  SystemSchedulingCalls calls;
  LinuxThreadPriority highest(calls);
  RecordingPriority priority(highest);
  priority.TellNothing(sleeping);
  for (auto _ : bench) {
    std::unique_ptr<bench::BusyCores> load;
    if (loaded) load = std::make_unique<bench::BusyCores>();
    SimulatorProcess simulator(/*realtime=*/true);
    if (!simulator.Running()) {
      bench.SkipWithError("the simulated mouse did not start");
      return;
    }
    sim::SimHidBackend backend(simulator.SocketPath());
    AppState state;
    if (!OpenDeviceLink(state.Link.Device, backend, state.Link.Reporter)) {
      bench.SkipWithError("the simulated mouse was not found");
      return;
    }
    StampingChannel feature(*state.Link.Device.FeatureHandle);
    state.Link.Reporter.Attach(&feature, state.Link.Device.FeatureReportByteLength);
    Macro& macro = state.UserMacros.slots[0];
    macro.mode = 0;
    macro.eventCount = 0;
    for (int i = 0; i < kMacroEvents / 2; ++i) {
      macro.events[macro.eventCount++] = {4, kActionPress, kMacroWaitMs};
      macro.events[macro.eventCount++] = {4, kActionRelease, kMacroWaitMs};
    }
    state.UserMacros.count = 1;
    PublishMacros(state);
    state.Settings.K[0] = 41;

    testing::StillWindow window;
    NullIni ini;
    NullLauncher launcher;
    MonotonicClock clock;
    auto workers = StartWorkers(state.Link, {window, ini, clock, launcher, raised ? &priority : nullptr});
    const std::size_t before = simulator.KeyReportStamps().size();
    simulator.Command("press " + std::to_string(ButtonNumberTable[0]));
    const auto giveUp = Clock::now() + kGiveUp;
    while (feature.Count() < kReports && Clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the last log line written
    load.reset();

    std::vector<double> stamps = simulator.KeyReportStamps();
    stamps.erase(stamps.begin(), stamps.begin() + static_cast<std::ptrdiff_t>(std::min(before, stamps.size())));
    Report(bench, "", bench::GapStatsOf(stamps, ScheduledGaps()));
    Report(bench, "send_", bench::GapStatsOf(feature.Returned(), ScheduledGaps()));
    const std::vector<double> trips = feature.RoundTripsUs();
    bench.counters["rtt_p50_us"] = bench::Percentile(trips, 0.5);
    bench.counters["rtt_max_us"] = bench::Percentile(trips, 1.0);
    const WaitFinish finish = raised && !sleeping ? WaitFinishFor(priority.Last()) : WaitFinish::Sleep;
    bench.SetLabel(std::string(loaded ? "loaded" : "quiet") + ", workers " +
                   (raised ? Describe(priority.Last()) : std::string("normal")) +
                   (finish == WaitFinish::Spin ? ", sleep then spin" : ", sleeps only") + ", simulator " +
                   (simulator.RealTime() ? "real-time " + std::to_string(kSimulatorPriority) : std::string("normal")));

    // The simulator's end ends the reader's read; then the workers stop.
    state.Link.Reporter.Attach(nullptr, 0);
    simulator.Command("quit");
    workers.reset();
  }
}
BENCHMARK(BM_MacroThroughSimulator)->ArgsProduct({{0, 1}, {2, 1, 0}})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tolvar

BENCHMARK_MAIN();
