// The rules per application with the real program, the simulated mouse and
// openbox on a display of its own:
//   idle wake-ups: voluntary context switches of every thread of the idle
//     program over 10 s with the X11 focus source running, beside a watcher
//     in this process that asks the X server for the active window every
//     250 ms (the polling design);
//   activation to first report: from the activation request (what
//     `xdotool windowactivate` sends to the window manager) of a window
//     whose rule asks for another profile to the first settings report the
//     mouse logs, beside SetProfile asked over the session bus (the same
//     switch without the window manager and the focus source).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bus_peer.h"
#include "support/program_under_test.h"
#include "test_windows.h"

using namespace std::chrono_literals;
using tolvar::testing::FeatureReports;
using tolvar::testing::ProgramUnderTest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSwitches = 20;

// Voluntary context switches of every thread of a process.
long VoluntarySwitches(pid_t pid, const std::string& onlyThread = "") {
  long total = 0;
  const std::string folder = "/proc/" + std::to_string(pid) + "/task";
  DIR* tasks = opendir(folder.c_str());
  if (tasks == nullptr) return -1;
  while (dirent* entry = readdir(tasks)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || (!onlyThread.empty() && name != onlyThread)) continue;
    std::ifstream status(folder + "/" + name + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::stol(line.substr(24));
    }
  }
  closedir(tasks);
  return total;
}

// The polling design: a thread that asks for _NET_ACTIVE_WINDOW every 250 ms.
class PollingWatcher {
 public:
  PollingWatcher()
      : thread_([this] {
          threadId_ = static_cast<long>(gettid());
          Display* display = XOpenDisplay(nullptr);
          const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
          while (!stop_) {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            XGetWindowProperty(display, DefaultRootWindow(display), active, 0, 1, False, XA_WINDOW, &type, &format,
                               &count, &after, &data);
            if (data != nullptr) XFree(data);
            std::this_thread::sleep_for(250ms);
          }
          XCloseDisplay(display);
        }) {}
  ~PollingWatcher() {
    stop_ = true;
    thread_.join();
  }
  long ThreadId() const { return threadId_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<long> threadId_{0};
  std::thread thread_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double Largest(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// Waits for the first settings report after `before` reports; ms since `start`.
double MsToReport(ProgramUnderTest& test, std::size_t before, Clock::time_point start) {
  while (FeatureReports(test.SimLog()).size() <= before) {
    if (Clock::now() - start > 20s) return -1;
    std::this_thread::sleep_for(200us);
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
  ProgramUnderTest test;
  auto windows = tolvar::testing::TestWindows::Open();
  if (!windows) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  test.StartHelper({"openbox", "--sm-disable"});
  tolvar::testing::WaitUntil([&] { return windows->WindowManagerRunning(); }, 20s);
  const std::string bus = test.StartPrivateBus();
  tolvar::testing::BusPeer peer(bus);
  std::ofstream(test.AppDir() + "/skins/config/applications.ini")
      << "[Applications]\nBenchA=2\nBenchB=3\n[Options]\nOtherwise=0\n";
  test.StartSimulator();
  test.StartProgram(true, {}, {{"DBUS_SESSION_BUS_ADDRESS", bus}});
  test.WaitForFeatureReports(22, 30s);
  tolvar::testing::WaitUntil([&] { return peer.NameHasOwner("org.tolvar.tolvar"); }, 20s);
  const unsigned long a = windows->Create("BenchA", "bencha");
  const unsigned long b = windows->Create("BenchB", "benchb");
  std::this_thread::sleep_for(2s);  // start-up's saves and repaints are over

  // ---- idle wake-ups ----
  const pid_t pid = test.Program().Pid();
  PollingWatcher watcher;
  std::this_thread::sleep_for(300ms);
  const std::string watcherThread = std::to_string(watcher.ThreadId());
  const long oursBefore = VoluntarySwitches(pid);
  const long pollingBefore = VoluntarySwitches(getpid(), watcherThread);
  std::this_thread::sleep_for(10s);
  const long ours = VoluntarySwitches(pid) - oursBefore;
  const long polling = VoluntarySwitches(getpid(), watcherThread) - pollingBefore;
  std::printf("idle wake-ups over 10 s, every thread of the program (X11 focus source running): %ld\n", ours);
  std::printf("  reference, one thread polling the active window every 250 ms:            %ld\n", polling);

  // ---- activation to first report ----
  std::vector<double> activation;
  std::vector<double> overBus;
  for (int i = 0; i < kSwitches; ++i) {
    const std::size_t before = FeatureReports(test.SimLog()).size();
    const Clock::time_point start = Clock::now();
    windows->Activate(i % 2 == 0 ? a : b);
    activation.push_back(MsToReport(test, before, start));
    test.WaitForFeatureReports(before + 22, 20s);
    std::this_thread::sleep_for(200ms);
  }
  for (int i = 0; i < kSwitches; ++i) {
    const std::size_t before = FeatureReports(test.SimLog()).size();
    const Clock::time_point start = Clock::now();
    std::thread call([&] { peer.CallProgram("SetProfile", g_variant_new("(i)", i % 2 == 0 ? 4 : 5)); });
    overBus.push_back(MsToReport(test, before, start));
    call.join();
    test.WaitForFeatureReports(before + 22, 20s);
    std::this_thread::sleep_for(200ms);
  }
  std::printf("activation to first report, median / largest of %d: %.2f ms / %.2f ms\n", kSwitches, Median(activation),
              Largest(activation));
  std::printf("  reference, SetProfile over the bus to first report:  %.2f ms / %.2f ms\n", Median(overBus),
              Largest(overBus));
  return 0;
}
