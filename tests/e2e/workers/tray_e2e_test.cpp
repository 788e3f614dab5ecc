// The tray icon's menu on a real tray: a right click on the icon opens the
// menu, and "Exit Driver" sends the detach report and ends the program. A
// window out of sight (started into the tray, or hidden) comes back painted
// from a double click on the icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/program_under_test.h"
#include "x11_session.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;

TEST(TrayE2eTest, ExitDriverSendsTheDetachReportAndEndsTheProgram) {
  ProgramUnderTest test;
  const std::unique_ptr<X11Session> x = X11Session::Open();
  ASSERT_NE(x, nullptr) << "cannot open the display " << test.Display();
  // trayer is the tray host: it owns the tray selection of the screen and
  // embeds the icons it is offered.
  ChildProcess& tray = test.StartHelper({"trayer"});
  ASSERT_TRUE(WaitUntil([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); }, 20s))
      << "trayer did not provide a tray";
  test.StartSimulator();
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";

  std::optional<XWindowId> icon;
  ASSERT_TRUE(
      WaitUntil([&] { return (icon = x->WindowEmbeddedIn(tray.Pid(), test.Program().Pid())).has_value(); }, 20s))
      << "the program's icon did not appear in the tray";
  const std::optional<ScreenRect> place = x->Geometry(*icon);
  ASSERT_TRUE(place.has_value());

  const std::vector<XWindowId> before = x->ViewableWindowsOf(test.Program().Pid());
  RunAndRead("xdotool mousemove --sync " + std::to_string(place->x + place->width / 2) + " " +
             std::to_string(place->y + place->height / 2) + " click 3");
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (XWindowId w : x->ViewableWindowsOf(test.Program().Pid())) {
          if (std::find(before.begin(), before.end(), w) == before.end()) return true;
        }
        return false;
      },
      20s))
      << "the right click opened no menu";
  // The menu holds "Show Window", "Profile per application..." and "Exit Driver".
  RunAndRead("xdotool key Down Down Down Return");

  const auto status = test.Program().WaitForExit(20s);
  ASSERT_TRUE(status.has_value()) << "the exit command did not end the program";
  EXPECT_EQ(*status, 0);

  const auto reports = FeatureReports(test.SimLog());
  ASSERT_EQ(reports.size(), kSettingsReports + 1) << "the settings and then the detach report";
  // The detach command writes 07 20 00 00; the rest of the report is what
  // the report before it left in the buffer.
  std::vector<std::uint8_t> expected = reports[kSettingsReports - 1].bytes;
  ASSERT_GE(expected.size(), 4u);
  std::copy_n(std::vector<std::uint8_t>{0x07, 0x20, 0x00, 0x00}.begin(), 4, expected.begin());
  EXPECT_EQ(Hex(reports.back().bytes), Hex(expected));
}

// The window manager's close only hides the window to the tray; a second
// start of the program brings it back and ends at once.
TEST(TrayE2eTest, ClosingHidesToTheTrayAndASecondStartRestoresTheWindow) {
  ProgramUnderTest test;
  const std::unique_ptr<X11Session> x = X11Session::Open();
  ASSERT_NE(x, nullptr) << "cannot open the display " << test.Display();
  ChildProcess& tray = test.StartHelper({"trayer"});
  ASSERT_TRUE(WaitUntil([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); }, 20s));
  test.StartSimulator();
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s));
  const pid_t first = test.Program().Pid();
  std::optional<XWindowId> window;
  ASSERT_TRUE(WaitUntil([&] { return (window = x->WindowTitled(first, "Quarrion DORVEL_KITE7")).has_value(); }, 20s));
  ASSERT_TRUE(WaitUntil([&] { return x->WindowEmbeddedIn(tray.Pid(), first).has_value(); }, 20s));

  x->CloseAsWindowManager(*window);
  ASSERT_TRUE(WaitUntil([&] { return !x->WindowTitled(first, "Quarrion DORVEL_KITE7").has_value(); }, 20s))
      << "the window did not hide";
  EXPECT_TRUE(test.Program().Running()) << "closing the window must not end the program";
  EXPECT_TRUE(x->WindowEmbeddedIn(tray.Pid(), first).has_value()) << "the tray icon must stay";

  ChildProcess second({test.AppDir() + "/tolvar"}, test.ProgramEnvironment());
  const auto status = second.WaitForExit(20s);
  ASSERT_TRUE(status.has_value()) << "the second start must end by itself";
  EXPECT_EQ(*status, 0);
  EXPECT_TRUE(WaitUntil([&] { return x->WindowTitled(first, "Quarrion DORVEL_KITE7").has_value(); }, 20s))
      << "the first instance's window did not come back";
  EXPECT_EQ(FeatureReports(test.SimLog()).size(), kSettingsReports) << "the second start must send nothing";
}

// Expects the window painted: far from one flat colour.
void ExpectPainted(const X11Session& x, XWindowId window) {
  std::size_t colours = 0;
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::optional<WindowImage> image = x.Capture(window);
        if (!image) return false;
        std::set<std::uint32_t> seen;
        for (const Pixel& p : image->pixels) seen.insert((p.r << 16) | (p.g << 8) | p.b);
        colours = seen.size();
        return colours > 50;
      },
      20s))
      << "the window is unpainted (" << colours << " colours)";
}

// Double-clicks the program's tray icon and expects its window back, painted
// (far from one flat colour); returns the window.
std::optional<XWindowId> ShowFromTheIcon(const X11Session& x, XWindowId icon, pid_t pid) {
  const std::optional<ScreenRect> place = x.Geometry(icon);
  EXPECT_TRUE(place.has_value());
  if (!place) return std::nullopt;
  // From the corner first: a move to where the pointer already is would
  // wait in vain for the pointer to move.
  RunAndRead("xdotool mousemove --sync 0 0 mousemove --sync " + std::to_string(place->x + place->width / 2) + " " +
             std::to_string(place->y + place->height / 2) + " click --repeat 2 --delay 50 1");
  std::optional<XWindowId> window;
  EXPECT_TRUE(WaitUntil([&] { return (window = x.WindowTitled(pid, "Quarrion DORVEL_KITE7")).has_value(); }, 20s))
      << "the double click did not bring the window back";
  if (!window) return std::nullopt;
  ExpectPainted(x, *window);
  return window;
}

// Started with -HIDE under a window manager, the window goes out of sight
// with nothing painted for it; the icon brings it back painted.
TEST(TrayE2eTest, StartedIntoTheTrayTheWindowComesBackPainted) {
  ProgramUnderTest test;
  const std::unique_ptr<X11Session> x = X11Session::Open();
  ASSERT_NE(x, nullptr) << "cannot open the display " << test.Display();
  test.StartHelper({"openbox", "--sm-disable"});
  ChildProcess& tray = test.StartHelper({"trayer"});
  ASSERT_TRUE(WaitUntil([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); }, 20s));
  test.StartSimulator();
  test.StartProgram(true, {"-HIDE"});
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s));
  const pid_t pid = test.Program().Pid();
  std::optional<XWindowId> icon;
  ASSERT_TRUE(WaitUntil([&] { return (icon = x->WindowEmbeddedIn(tray.Pid(), pid)).has_value(); }, 20s));
  ASSERT_TRUE(WaitUntil([&] { return !x->WindowTitled(pid, "Quarrion DORVEL_KITE7").has_value(); }, 20s))
      << "started with -HIDE, the window must go out of sight";

  EXPECT_TRUE(ShowFromTheIcon(*x, *icon, pid).has_value());
  EXPECT_EQ(FeatureReports(test.SimLog()).size(), kSettingsReports) << "showing sends nothing";
}

// Without a window manager nothing takes the minimised window out of sight:
// started with -HIDE, it stays in view and is painted.
TEST(TrayE2eTest, StartedIntoTheTrayWithoutAWindowManagerTheWindowInViewIsPainted) {
  ProgramUnderTest test;
  const std::unique_ptr<X11Session> x = X11Session::Open();
  ASSERT_NE(x, nullptr) << "cannot open the display " << test.Display();
  test.StartHelper({"trayer"});
  ASSERT_TRUE(WaitUntil([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); }, 20s));
  test.StartSimulator();
  test.StartProgram(true, {"-HIDE"});
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s));
  std::optional<XWindowId> window;
  ASSERT_TRUE(WaitUntil(
      [&] { return (window = x->WindowTitled(test.Program().Pid(), "Quarrion DORVEL_KITE7")).has_value(); }, 20s));
  ExpectPainted(*x, *window);
}

// Hidden to the tray, the window gives up its images; each time the icon
// brings it back, it is painted again.
TEST(TrayE2eTest, HiddenAndShownAgainTheWindowIsPaintedEachTime) {
  ProgramUnderTest test;
  const std::unique_ptr<X11Session> x = X11Session::Open();
  ASSERT_NE(x, nullptr) << "cannot open the display " << test.Display();
  ChildProcess& tray = test.StartHelper({"trayer"});
  ASSERT_TRUE(WaitUntil([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); }, 20s));
  test.StartSimulator();
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s));
  const pid_t pid = test.Program().Pid();
  std::optional<XWindowId> window;
  ASSERT_TRUE(WaitUntil([&] { return (window = x->WindowTitled(pid, "Quarrion DORVEL_KITE7")).has_value(); }, 20s));
  std::optional<XWindowId> icon;
  ASSERT_TRUE(WaitUntil([&] { return (icon = x->WindowEmbeddedIn(tray.Pid(), pid)).has_value(); }, 20s));

  for (int cycle = 1; cycle <= 2; ++cycle) {
    x->CloseAsWindowManager(*window);
    ASSERT_TRUE(WaitUntil([&] { return !x->WindowTitled(pid, "Quarrion DORVEL_KITE7").has_value(); }, 20s))
        << "cycle " << cycle << ": the window did not hide";
    window = ShowFromTheIcon(*x, *icon, pid);
    ASSERT_TRUE(window.has_value()) << "cycle " << cycle;
  }
  EXPECT_EQ(FeatureReports(test.SimLog()).size(), kSettingsReports) << "hiding and showing send nothing";
}

}  // namespace
}  // namespace tolvar::testing
