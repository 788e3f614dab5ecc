// Start-up speed: the time from starting the real program against the
// simulated mouse on a virtual display of its own to its first painted
// frame, beside a minimal Qt window started the same way.
//
// The first painted frame is the first X Damage event on a top-level window
// of the new process: Qt's windows have no background, so nothing is drawn
// into them until the program paints its first frame. Each run gets a fresh
// display, program folder and simulator; the two programs alternate, so a
// loaded machine affects both alike. Prints the medians and their ratio.
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

std::optional<double> TimeProgram() {
  ProgramUnderTest test;
  test.StartSimulator();
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

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  std::vector<double> program;
  std::vector<double> reference;
  for (int i = 0; i < runs; ++i) {
    const auto ours = TimeProgram();
    const auto theirs = TimeReference();
    if (!ours || !theirs) {
      std::fprintf(stderr, "run %d: no frame painted within 30 s\n", i);
      return 1;
    }
    program.push_back(*ours);
    reference.push_back(*theirs);
  }
  const double ours = Median(program);
  const double theirs = Median(reference);
  std::printf("start to first painted frame, median of %d runs:\n", runs);
  std::printf("  tolvar against the simulated mouse  %7.1f ms  (min %.1f, max %.1f)\n", ours,
              *std::min_element(program.begin(), program.end()), *std::max_element(program.begin(), program.end()));
  std::printf("  minimal Qt window (reference)       %7.1f ms  (min %.1f, max %.1f)\n", theirs,
              *std::min_element(reference.begin(), reference.end()),
              *std::max_element(reference.begin(), reference.end()));
  std::printf("  ratio                               %7.2fx\n", ours / theirs);
  return 0;
}
