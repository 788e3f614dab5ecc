// The time of one whole Apply against the simulated mouse, served in this
// process on its Unix socket and found by the program's own discovery:
// real files (macro file, CurConfig, two profiles with their macro blocks)
// and the 22 settings reports, each sent and acknowledged over the socket.
//
// The counters split each Apply into its two parts, measured around the
// calls into the INI store and into the feature channel:
//   file_us    the file work (reads and writes of the configuration and
//              macro files) per Apply;
//   report_us  sending the 22 reports per Apply (composing them, the
//              socket round trip, the simulator's log line);
// the rest of the Time column is the work between those calls.
// OneReport is the round trip of a single feature report.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "app/apply_settings.h"
#include "apply_fixture.h"
#include "device/device_link.h"
#include "mouse_descriptor.h"
#include "platform/ini/ini_file_store.h"
#include "platform/sim/sim_hid_backend.h"
#include "simulator.h"
#include "socket_transport.h"
#include "support/still_window.h"

namespace tolvar {
namespace {

using Clock = std::chrono::steady_clock;

// Adds the time spent inside a call to `total`.
class Stopwatch {
 public:
  explicit Stopwatch(Clock::duration& total) : total_(total), start_(Clock::now()) {}
  ~Stopwatch() { total_ += Clock::now() - start_; }

 private:
  Clock::duration& total_;
  Clock::time_point start_;
};

class TimedIniStore final : public IniStore {
 public:
  std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                      std::size_t bufferChars) override {
    Stopwatch watch(spent);
    return files_.Read(file, section, key, bufferChars);
  }
  bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override {
    Stopwatch watch(spent);
    return files_.Write(file, section, key, value);
  }
  bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) override {
    Stopwatch watch(spent);
    return files_.WriteBatch(file, entries);
  }

  Clock::duration spent{};

 private:
  IniFileStore files_;
};

class TimedChannel final : public HidFeatureChannel {
 public:
  explicit TimedChannel(HidFeatureChannel& channel) : channel_(channel) {}
  bool SendFeature(std::span<const std::uint8_t> report) override {
    Stopwatch watch(spent);
    return channel_.SendFeature(report);
  }

  Clock::duration spent{};

 private:
  HidFeatureChannel& channel_;
};

using NullWindow = testing::StillWindow;

// A program folder in /tmp with its configuration folder, and the simulated
// mouse serving on a socket inside it; all removed afterwards.
class SimulatedMouseFolder : public bench::ProgramFolder {
 public:
  SimulatedMouseFolder() {
    std::string error;
    if (!log_.Open(Root() + "/mouse.log", error)) Fail(error);
    transport_ = std::make_unique<mousesim::SocketTransport>(SocketPath(), mousesim::Identity(), simulator_);
    if (!transport_->Listen(error)) Fail(error);
    simulator_.Attach(*transport_);
    if (!simulator_.Start(error)) Fail(error);
  }
  ~SimulatedMouseFolder() { transport_.reset(); }

  std::string SocketPath() const { return Root() + "/mouse.sock"; }

 private:
  [[noreturn]] static void Fail(const std::string& error) {
    std::cerr << "the simulated mouse did not start: " << error << "\n";
    std::abort();
  }

  mousesim::EventLog log_;
  mousesim::Simulator simulator_{log_};
  std::unique_ptr<mousesim::SocketTransport> transport_;
};

double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void BM_ApplyAgainstSimulator(benchmark::State& state) {
  SimulatedMouseFolder folder;
  sim::SimHidBackend backend(folder.SocketPath());
  AppState app;
  bench::FillState(app, folder);
  if (!OpenDeviceLink(app.Link.Device, backend, app.Link.Reporter)) {
    state.SkipWithError("the simulated mouse was not found");
    return;
  }
  TimedChannel channel(*app.Link.Device.FeatureHandle);
  app.Link.Reporter.Attach(&channel, app.Link.Device.FeatureReportByteLength);
  TimedIniStore ini;
  bench::NullSystemSettings system;
  NullWindow window;
  for (auto _ : state) {
    // Alternate a setting so each apply really changes the files.
    app.Settings.FIRE_TIME = app.Settings.FIRE_TIME == 50 ? 51 : 50;
    benchmark::DoNotOptimize(ApplySettings(app, ini, system, window, std::nullopt));
  }
  app.Link.Reporter.Attach(nullptr, 0);
  state.counters["file_us"] = benchmark::Counter(Microseconds(ini.spent), benchmark::Counter::kAvgIterations);
  state.counters["report_us"] = benchmark::Counter(Microseconds(channel.spent), benchmark::Counter::kAvgIterations);
}

void BM_OneReport(benchmark::State& state) {
  SimulatedMouseFolder folder;
  sim::SimHidBackend backend(folder.SocketPath());
  DeviceLink link;
  FeatureReporter reporter;
  if (!OpenDeviceLink(link, backend, reporter)) {
    state.SkipWithError("the simulated mouse was not found");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(reporter.Send([](std::span<std::uint8_t> report) { compose::FireTime(report, 300); }));
  }
  reporter.Attach(nullptr, 0);
}

BENCHMARK(BM_ApplyAgainstSimulator)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneReport)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tolvar
