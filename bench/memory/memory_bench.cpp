// Memory while resident, and the way back from the tray: the real program
// against the simulated mouse, started with -HIDE on a virtual display of its
// own with a window manager and a tray, beside a minimal Qt window with one
// line of text started hidden the same way.
//
// For each it prints the private memory (Private_Dirty of
// /proc/PID/smaps_rollup) hidden at start, shown, and hidden again after
// each of several show and hide cycles, and the time from the request to
// show the window to its first painted frame (the first X Damage on it).
// The program's request is a double click on its tray icon (XTest), the
// reference's a line on its standard input. Medians over the runs.
//
//   build/bench/memory_bench [RUNS]     (default 3 runs of each)
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/program_under_test.h"
#include "x11_session.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using tolvar::testing::ChildProcess;
using tolvar::testing::ProgramUnderTest;
using tolvar::testing::X11Session;
using tolvar::testing::XWindowId;

constexpr int kCycles = 3;        // show and hide cycles after the start
constexpr auto kSettle = 1500ms;  // for deferred deletes and the desktop to calm down
constexpr std::size_t kSettingsReports = 22;
const std::string kTitle = "Quarrion DORVEL_KITE7";
const std::string kReferenceTitle = "reference";

// Private_Dirty of the process in MB.
double PrivateMb(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  while (std::getline(rollup, line)) {
    std::istringstream fields(line);
    std::string key;
    long kb = 0;
    if (fields >> key >> kb && key == "Private_Dirty:") return static_cast<double>(kb) / 1024;
  }
  throw std::runtime_error("no Private_Dirty for process " + std::to_string(pid));
}

// With TOLVAR_BENCH_MAPS set, prints the mappings that hold the most private
// memory, to see where it goes.
void PrintLargestMappings(pid_t pid, const std::string& when) {
  if (std::getenv("TOLVAR_BENCH_MAPS") == nullptr) return;
  std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps");
  std::vector<std::pair<long, std::string>> mappings;
  std::string line, name;
  while (std::getline(smaps, line)) {
    std::istringstream fields(line);
    std::string key;
    long kb = 0;
    if (line.find('-') < line.find(' ') && line.find(' ') != std::string::npos) {
      name = line.size() > 73 ? line.substr(73) : line;
    } else if (fields >> key >> kb && key == "Private_Dirty:" && kb > 0) {
      mappings.emplace_back(kb, name);
    }
  }
  std::sort(mappings.rbegin(), mappings.rend());
  std::fprintf(stderr, "largest private mappings, %s:\n", when.c_str());
  for (std::size_t i = 0; i < std::min<std::size_t>(mappings.size(), 12); ++i) {
    std::fprintf(stderr, "  %6ld kB  %s\n", mappings[i].first, mappings[i].second.c_str());
  }
}

// Watches the display for new top-level windows and tells when one with the
// given title is drawn into.
class PaintWatch {
 public:
  PaintWatch(const std::string& display, std::string title)
      : display_(XOpenDisplay(display.c_str())), title_(std::move(title)) {
    if (display_ == nullptr) throw std::runtime_error("cannot open display " + display);
    int error = 0;
    if (!XDamageQueryExtension(display_, &damageEvent_, &error)) throw std::runtime_error("no DAMAGE extension");
    int major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &error, &error, &major, &minor)) throw std::runtime_error("no XTEST");
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
  }
  ~PaintWatch() { XCloseDisplay(display_); }

  // Forgets the damage seen so far.
  void Drain() {
    XSync(display_, False);
    Handle(nullptr);
  }

  // Milliseconds from `start` to the next damage of the titled window, or
  // nothing after 30 s.
  std::optional<double> WaitForPaint(Clock::time_point start) {
    const auto deadline = start + 30s;
    bool painted = false;
    while (Clock::now() < deadline) {
      Handle(&painted);
      if (painted) return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, 100);
    }
    return std::nullopt;
  }

  // A double click with the first button at a point of the screen.
  void DoubleClick(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    for (int i = 0; i < 2; ++i) {
      XTestFakeButtonEvent(display_, 1, True, CurrentTime);
      XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    }
    XFlush(display_);
  }

 private:
  void Handle(bool* painted) {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == CreateNotify) {
        XDamageCreate(display_, event.xcreatewindow.window, XDamageReportNonEmpty);
      } else if (event.type == damageEvent_ + XDamageNotify) {
        const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
        XDamageSubtract(display_, damage.damage, None, None);
        if (painted != nullptr && Titled(damage.drawable)) *painted = true;
      }
    }
  }
  bool Titled(Window window) {
    char* name = nullptr;
    if (XFetchName(display_, window, &name) == 0 || name == nullptr) return false;
    const bool same = title_ == name;
    XFree(name);
    return same;
  }

  Display* display_;
  std::string title_;
  int damageEvent_ = 0;
};

struct Figures {
  double hiddenAtStart = 0;
  double shown = 0;
  std::vector<double> hiddenAgain;  // after each cycle
  std::vector<double> restoreMs;    // request to first frame, each cycle
};

// What one side does: start hidden, ask to show, hide.
struct Side {
  std::string title;
  std::function<pid_t()> start;
  std::function<void()> requestShow;
  std::function<void()> hide;
};

bool Until(const std::function<bool()>& done, std::chrono::seconds bound = 30s) {
  const auto giveUp = Clock::now() + bound;
  while (!done()) {
    if (Clock::now() > giveUp) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

Figures Measure(ProgramUnderTest& test, X11Session& x, PaintWatch& watch, const Side& side) {
  Figures figures;
  const pid_t pid = side.start();
  std::this_thread::sleep_for(kSettle);
  figures.hiddenAtStart = PrivateMb(pid);
  PrintLargestMappings(pid, side.title + " hidden at start");
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    watch.Drain();
    const auto requested = Clock::now();
    side.requestShow();
    const std::optional<double> painted = watch.WaitForPaint(requested);
    if (!painted) {
      throw std::runtime_error(side.title + ": no frame within 30 s of request " + std::to_string(cycle + 1) +
                               " to show (the window is " +
                               (x.WindowTitled(pid, side.title) ? "viewable)" : "not viewable)"));
    }
    figures.restoreMs.push_back(*painted);
    std::this_thread::sleep_for(kSettle);
    if (cycle == 0) {
      figures.shown = PrivateMb(pid);
      PrintLargestMappings(pid, side.title + " shown");
    }
    side.hide();
    if (!Until([&] { return !x.WindowTitled(pid, side.title).has_value(); })) {
      throw std::runtime_error(side.title + ": the window did not hide");
    }
    std::this_thread::sleep_for(kSettle);
    figures.hiddenAgain.push_back(PrivateMb(pid));
    if (cycle == 0) PrintLargestMappings(pid, side.title + " hidden again");
  }
  (void)test;
  return figures;
}

// The fixture has just copied the program: its pages would count as private
// (dirty in the page cache) until written back. Written now, they count as
// the file's, as for a program installed long ago.
void WriteBack(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  fdatasync(fd);
  close(fd);
}

Figures MeasureProgram() {
  ProgramUnderTest test;
  WriteBack(test.AppDir() + "/tolvar");
  const std::unique_ptr<X11Session> x = X11Session::Open();
  if (!x) throw std::runtime_error("cannot open the display");
  test.StartHelper({"openbox", "--sm-disable"});
  ChildProcess& tray = test.StartHelper({"trayer"});
  if (!Until([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); })) throw std::runtime_error("no tray");
  test.StartSimulator();
  PaintWatch watch(test.Display(), kTitle);
  XWindowId window = 0;
  const Side side{
      kTitle,
      [&] {
        test.StartProgram(true, {"-HIDE"});
        if (!test.WaitForFeatureReports(kSettingsReports, 30s)) throw std::runtime_error("no settings sent");
        if (!Until([&] { return x->WindowEmbeddedIn(tray.Pid(), test.Program().Pid()).has_value(); })) {
          throw std::runtime_error("no tray icon");
        }
        return test.Program().Pid();
      },
      [&] {
        const auto icon = x->WindowEmbeddedIn(tray.Pid(), test.Program().Pid());
        const auto place = icon ? x->Geometry(*icon) : std::nullopt;
        if (!place) throw std::runtime_error("the tray icon is gone");
        watch.DoubleClick(place->x + place->width / 2, place->y + place->height / 2);
      },
      [&] {
        if (!Until([&] { return x->WindowTitled(test.Program().Pid(), kTitle).has_value(); })) {
          throw std::runtime_error("the window is not shown");
        }
        window = *x->WindowTitled(test.Program().Pid(), kTitle);
        x->CloseAsWindowManager(window);
      },
  };
  return Measure(test, *x, watch, side);
}

Figures MeasureReference() {
  ProgramUnderTest test;  // the same display, folder and environment, no mouse needed
  const std::unique_ptr<X11Session> x = X11Session::Open();
  if (!x) throw std::runtime_error("cannot open the display");
  test.StartHelper({"openbox", "--sm-disable"});
  test.StartHelper({"trayer"});
  if (!Until([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); })) throw std::runtime_error("no tray");
  PaintWatch watch(test.Display(), kReferenceTitle);
  std::unique_ptr<ChildProcess> reference;
  const Side side{
      kReferenceTitle,
      [&] {
        reference = std::make_unique<ChildProcess>(
            std::vector<std::string>{std::string(TOLVAR_BENCH_DIR) + "/memory_reference_window", "-HIDE"},
            test.ProgramEnvironment(false));
        return reference->Pid();
      },
      [&] { reference->WriteLine("show"); },
      [&] { reference->WriteLine("hide"); },
  };
  Figures figures = Measure(test, *x, watch, side);
  reference->Terminate(5s);
  return figures;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Medians over the runs of one figure.
template <typename Pick>
double MedianOf(const std::vector<Figures>& runs, Pick pick) {
  std::vector<double> values;
  for (const Figures& f : runs) values.push_back(pick(f));
  return Median(values);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<Figures> ours, reference;
  try {
    for (int i = 0; i < runs; ++i) {
      ours.push_back(MeasureProgram());
      reference.push_back(MeasureReference());
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "memory_bench: %s\n", error.what());
    return 1;
  }
  const double base = MedianOf(reference, [](const Figures& f) { return f.shown; });
  std::printf("private memory (Private_Dirty), median of %d runs      tolvar     minimal Qt window\n", runs);
  const auto row = [&](const char* name, auto pick) {
    const double a = MedianOf(ours, pick), b = MedianOf(reference, pick);
    std::printf("  %-46s %6.1f MB  %6.1f MB   (%.2fx the shown minimal window)\n", name, a, b, a / base);
  };
  row("hidden at start", [](const Figures& f) { return f.hiddenAtStart; });
  row("shown (main page)", [](const Figures& f) { return f.shown; });
  for (int c = 0; c < kCycles; ++c) {
    const std::string name = "hidden again after show and hide " + std::to_string(c + 1);
    row(name.c_str(), [c](const Figures& f) { return f.hiddenAgain[c]; });
  }
  std::printf("request to show to first painted frame                 tolvar     minimal Qt window\n");
  for (int c = 0; c < kCycles; ++c) {
    const auto pick = [c](const Figures& f) { return f.restoreMs[c]; };
    const double a = MedianOf(ours, pick), b = MedianOf(reference, pick);
    std::printf("  %-46s %6.1f ms  %6.1f ms   (%.2fx)\n", (c == 0 ? "first show" : "show again"), a, b, a / b);
  }
  return 0;
}
