// Start-up speed: the time from starting the real program against the
// simulated mouse on a virtual display of its own to its first painted
// frame, beside a minimal Qt window started the same way.
//
// The first painted frame is the first X Damage event on a top-level window
// of the new process: Qt's windows have no background, so nothing is drawn
// into them until the program paints its first frame. Each run gets a fresh
// display, program folder and simulator; the two programs alternate, so a
// loaded machine affects both alike. Prints the medians and their ratios,
// for a first start and for a later one.
//
//   build/bench/startup_bench [RUNS]     (default 15 runs of each)
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/program_under_test.h"

namespace {

using Clock = std::chrono::steady_clock;
using tolvar::testing::ChildProcess;
using tolvar::testing::ProgramUnderTest;

// Watches the display for new top-level windows and reports the first
// damage on any of them.
class FirstPaintWatch {
 public:
  explicit FirstPaintWatch(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
    if (display_ == nullptr) throw std::runtime_error("cannot open display " + display);
    int error = 0;
    if (!XDamageQueryExtension(display_, &damageEvent_, &error)) throw std::runtime_error("no DAMAGE extension");
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
  }
  ~FirstPaintWatch() { XCloseDisplay(display_); }

  // Milliseconds from `start` to the first damage, or nothing after 30 s.
  std::optional<double> WaitForFirstPaint(Clock::time_point start) {
    const auto deadline = start + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == CreateNotify) {
          XDamageCreate(display_, event.xcreatewindow.window, XDamageReportNonEmpty);
        } else if (event.type == damageEvent_ + XDamageNotify) {
          return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
      }
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, 100);
    }
    return std::nullopt;
  }

 private:
  Display* display_;
  int damageEvent_ = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A first start finds the folder as delivered and saves the applied profile;
// a later start (as at every plug-in) finds its files as it left them.
std::optional<double> TimeProgram(bool laterStart) {
  ProgramUnderTest test;
  test.StartSimulator();
  if (laterStart) {
    test.StartProgram();
    if (!test.WaitForFeatureReports(22, std::chrono::seconds(30))) return std::nullopt;
    test.Program().Terminate(std::chrono::seconds(10));
  }
  FirstPaintWatch watch(test.Display());
  const auto start = Clock::now();
  test.StartProgram();
  return watch.WaitForFirstPaint(start);
}

std::optional<double> TimeReference() {
  ProgramUnderTest test;  // the same display, folder and environment, no mouse needed
  FirstPaintWatch watch(test.Display());
  const auto start = Clock::now();
  ChildProcess reference({std::string(TOLVAR_BENCH_DIR) + "/startup_reference_window", "900", "560"},
                         test.ProgramEnvironment(false));
  return watch.WaitForFirstPaint(start);
}

void Print(const char* name, const std::vector<double>& values) {
  std::printf("  %-38s %7.1f ms  (min %.1f, max %.1f)\n", name, Median(values),
              *std::min_element(values.begin(), values.end()), *std::max_element(values.begin(), values.end()));
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  std::vector<double> first;
  std::vector<double> later;
  std::vector<double> reference;
  for (int i = 0; i < runs; ++i) {
    const auto a = TimeProgram(false);
    const auto b = TimeReference();
    const auto c = TimeProgram(true);
    if (!a || !b || !c) {
      std::fprintf(stderr, "run %d: no frame painted within 30 s\n", i);
      return 1;
    }
    first.push_back(*a);
    reference.push_back(*b);
    later.push_back(*c);
  }
  std::printf("start to first painted frame, median of %d runs:\n", runs);
  Print("tolvar, first start (delivered files)", first);
  Print("tolvar, later start", later);
  Print("minimal Qt window (reference)", reference);
  std::printf("  ratio, first start                     %7.2fx\n", Median(first) / Median(reference));
  std::printf("  ratio, later start                     %7.2fx\n", Median(later) / Median(reference));
  return 0;
}
