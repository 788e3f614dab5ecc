// The real program as a screen-reader user and a keyboard-only user meet
// it: the accessibility tree over AT-SPI on a private session bus (roles
// and names of every painted control in both languages, the press action,
// announcements), the keyboard alone reaching the mouse, the focus mark on
// screen, and the window at scale factor 2.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "support/program_under_test.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;
const std::string kProbe = std::string(TOLVAR_SOURCE_DIR) + "/tests/e2e/accessibility/atspi_probe.py";
const std::string kTitle = "Quarrion DORVEL_KITE7";

std::string IniValue(const std::string& file, const char16_t* section, const char16_t* key) {
  IniFileStore ini;
  return Utf16ToUtf8(ini.Read(file, section, key, 4000));
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The program on the simulated mouse, its accessibility on a private
// session bus that starts the AT-SPI bus and registry on demand.
class ScreenReaderSession {
 public:
  explicit ScreenReaderSession(std::map<std::string, std::string> environment = {}, std::string screen = "1280x1024x24")
      : test(std::move(screen)) {
    // The AT-SPI bus the session bus starts puts its socket below these:
    // the test's own folders, never the machine's.
    setenv("XDG_RUNTIME_DIR", test.RuntimeDir().c_str(), 1);
    setenv("HOME", test.RuntimeDir().c_str(), 1);
    bus_ = test.StartPrivateBus();
    test.WriteConfig(ConfigWithProfile(1, {}));
    test.StartSimulator();
    environment["DBUS_SESSION_BUS_ADDRESS"] = bus_;
    environment["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1";
    test.StartProgram(true, {}, environment);
  }

  // Runs the probe with `arguments` (shell words); its output.
  std::string Probe(const std::string& arguments) const {
    return RunAndRead("DBUS_SESSION_BUS_ADDRESS=" + bus_ + " /usr/bin/python3 " + kProbe + " " + arguments + " 2>&1");
  }
  std::string ProbeCommand(const std::string& arguments) const {
    return "DBUS_SESSION_BUS_ADDRESS=" + bus_ + " exec /usr/bin/python3 " + kProbe + " " + arguments;
  }

  bool Started() {
    return test.WaitForFeatureReports(kSettingsReports, 30s) && Probe("window").find("found") != std::string::npos;
  }
  std::string Window() const {
    std::string id = RunAndRead("xdotool search --onlyvisible --name '^" + kTitle + "$' | head -1");
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    return id;
  }
  void Focus() const { RunAndRead("xdotool windowfocus --sync " + Window()); }
  void Keys(const std::string& keys) const {
    RunAndRead("xdotool windowfocus --sync " + Window() + " key --delay 80 " + keys);
  }
  bool PopupShows(const std::string& title) const {
    return !RunAndRead("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null").empty();
  }

  ProgramUnderTest test;

 private:
  std::string bus_;
};

// Page, role and name of each control the probe listed.
struct Listed {
  std::string page, role, name;
};
std::vector<Listed> Parse(const std::string& tree) {
  std::vector<Listed> listed;
  for (const std::string& line : Lines(tree)) {
    const auto a = line.find('\t');
    const auto b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    listed.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
  }
  return listed;
}

TEST(AccessibilityE2eTest, EveryControlOfEachPageHasARoleAndANameInBothLanguages) {
  ScreenReaderSession session;
  ASSERT_TRUE(session.Started());
  const struct {
    const char* language;
    std::vector<std::string> pages;
    std::vector<std::string> expected;  // names that must be among them
  } cases[] = {
      {"English",
       {"Buttons & DPI", "Advanced", "Lighting"},
       {"Apply", "Save", "Profile 3", "Level 2: Use", "1600 DPI", "Left button: Left click", "Minimise",
        "Pointer speed: 4", "Rapid-fire time", "Report rate: 125 Hz", "Breathing", "Name", "Macro list"}},
      {"한국어", {"버튼 / DPI", "고급 설정", "조명"}, {"적용", "저장", "프로필 3", "최소화", "1600 DPI", "연사 시간"}},
  };
  for (const auto& c : cases) {
    if (std::string(c.language) != "English") {
      ASSERT_NE(session.Probe("press " + Quoted(c.language)).find("pressed"), std::string::npos);
    }
    const std::string tree = session.Probe("tree");
    const std::vector<Listed> listed = Parse(tree);
    ASSERT_FALSE(listed.empty()) << tree;
    std::set<std::string> pages, names;
    for (const Listed& l : listed) {
      pages.insert(l.page);
      names.insert(l.name);
      EXPECT_FALSE(l.name.empty()) << c.language << ", " << l.page << ": a " << l.role << " without a name";
      EXPECT_NE(l.role, "unknown") << c.language << ", " << l.page << ": " << l.name;
    }
    EXPECT_EQ(pages, std::set<std::string>(c.pages.begin(), c.pages.end())) << tree;
    for (const std::string& name : c.expected) EXPECT_TRUE(names.count(name)) << c.language << ": " << name;
  }
}

TEST(AccessibilityE2eTest, ApplyPressedThroughItsActionSendsTheSettings) {
  ScreenReaderSession session;
  ASSERT_TRUE(session.Started());
  ASSERT_NE(session.Probe("press Apply").find("pressed"), std::string::npos);
  EXPECT_TRUE(session.test.WaitForFeatureReports(2 * kSettingsReports, 10s));
  const auto reports = FeatureReports(session.test.SimLog());
  ASSERT_GE(reports.size(), 2 * kSettingsReports);
  for (std::size_t i = 0; i < kSettingsReports; ++i) {
    EXPECT_EQ(reports[kSettingsReports + i].bytes, reports[i].bytes) << "report " << i << ": the same settings";
  }
}

TEST(AccessibilityE2eTest, TheFunctionPopupAndTheWarningAreReadAndPressedThroughTheirItems) {
  ScreenReaderSession session;
  ASSERT_TRUE(session.Started());
  ASSERT_NE(session.Probe("press 'Right button: Right click'").find("pressed"), std::string::npos);
  ASSERT_NE(session.Probe("popup-press 'Middle click'").find("pressed"), std::string::npos);
  EXPECT_TRUE(WaitUntil([&] { return !session.PopupShows("MainMenuDlg"); }, 5s));
  const std::string tree = session.Probe("tree");
  EXPECT_NE(tree.find("Right button: Middle click"), std::string::npos) << tree;

  // The left button now holds the only primary click: the warning asks first.
  ASSERT_NE(session.Probe("press 'Left button: Left click'").find("pressed"), std::string::npos);
  ASSERT_NE(session.Probe("popup-press Change").find("pressed"), std::string::npos);
  EXPECT_TRUE(WaitUntil([&] { return session.PopupShows("MainMenuDlg"); }, 5s)) << "confirmed: the popup opens";
}

TEST(AccessibilityE2eTest, AProfileChosenWithTheMouseIsAnnounced) {
  ScreenReaderSession session;
  ASSERT_TRUE(session.Started());
  const std::string out = session.test.RuntimeDir() + "/watch.out";
  ChildProcess& watcher =
      session.test.StartHelper({"sh", "-c", session.ProbeCommand("watch 'Profile 3' 15") + " > " + out});
  ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(out).find("ready") != std::string::npos; }, 15s));
  // Profile 3 of the delivered skin: 14,152,128,32.
  RunAndRead("xdotool mousemove --window " + session.Window() + " 78 168 click 1");
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(out).find("announced") != std::string::npos; }, 10s))
      << ReadWholeFile(out);
  watcher.WaitForExit(15s);
}

TEST(KeyboardE2eTest, TabToADpiCellSpaceThenApplySendsTheChangeToTheMouse) {
  ScreenReaderSession session;
  ASSERT_TRUE(session.Started());
  session.Focus();  // the window has the keyboard
  // Level 1 uses 600 DPI in the delivered first profile; its cells are one Tab stop.
  ASSERT_NE(session.Probe("keys-until Tab '600 DPI'").find("reached"), std::string::npos);
  session.Keys("Right space");
  ASSERT_NE(session.Probe("keys-until Tab Apply").find("reached"), std::string::npos);
  session.Keys("space");
  ASSERT_TRUE(session.test.WaitForFeatureReports(2 * kSettingsReports, 10s));
  EXPECT_EQ(IniValue(session.test.ConfigPath(), u"Config1", u"DPI_SET0"), "3");
  const auto reports = FeatureReports(session.test.SimLog());
  std::size_t changed = 0;
  for (std::size_t i = 0; i < kSettingsReports; ++i) changed += reports[kSettingsReports + i].bytes != reports[i].bytes;
  EXPECT_GE(changed, 1u) << "the mouse received the new DPI value";
}

TEST(KeyboardE2eTest, AFunctionIsChosenFromThePopupAndTheWarningAnsweredWithTheKeyboard) {
  ScreenReaderSession session;
  ASSERT_TRUE(session.Started());
  session.Focus();
  ASSERT_NE(session.Probe("keys-until Tab 'Right button: Right click'").find("reached"), std::string::npos);
  session.Keys("space");
  ASSERT_TRUE(WaitUntil([&] { return session.PopupShows("MainMenuDlg"); }, 5s));
  session.Keys("Down Down Down Down Up Return");  // the third item
  EXPECT_TRUE(WaitUntil([&] { return !session.PopupShows("MainMenuDlg"); }, 5s));
  EXPECT_EQ(Lines(session.Probe("focused")).at(0), "Right button: Middle click");

  // The left button holds the only primary click: the warning comes first.
  ASSERT_NE(session.Probe("keys-until shift+Tab 'Left button: Left click'").find("reached"), std::string::npos);
  session.Keys("space");
  std::this_thread::sleep_for(1s);                          // the warning takes the keyboard while it is open
  RunAndRead("xdotool key --delay 80 Right Right Return");  // the cancelling button
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(session.PopupShows("MainMenuDlg")) << "cancelled: no function popup";
  session.Keys("space");
  std::this_thread::sleep_for(1s);
  RunAndRead("xdotool key --delay 80 Right Return");  // the confirming button
  EXPECT_TRUE(WaitUntil([&] { return session.PopupShows("MainMenuDlg"); }, 5s)) << "confirmed: the popup opens";
  session.Keys("Escape");
  EXPECT_TRUE(WaitUntil([&] { return !session.PopupShows("MainMenuDlg"); }, 5s));
  EXPECT_EQ(Lines(session.Probe("focused")).at(0), "Left button: Left click") << "Escape changed nothing";
}

// The colour of one pixel of the screen, as "r,g,b".
std::string PixelAt(const std::string& shot, int x, int y) {
  return RunAndRead("convert " + shot + " -format '%[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) +
                    "}.r)],%[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) + "}.g)],%[fx:int(255*p{" +
                    std::to_string(x) + "," + std::to_string(y) + "}.b)]' info:");
}

TEST(KeyboardE2eTest, TheFocusMarkIsDrawnOnKeyboardFocusAndNotAfterAClick) {
  ScreenReaderSession session;
  ASSERT_TRUE(session.Started());
  const std::string shot = session.test.RuntimeDir() + "/shot.png";
  // The first Tab stop, the first page tab of the delivered skin: 204,12,124,32; the frame's left edge.
  const auto markPixel = [&] {
    RunAndRead("import -window root " + shot);
    return PixelAt(shot, 204, 28);
  };
  session.Focus();
  const std::string before = markPixel();
  EXPECT_NE(before, "255,0,0") << "no mark before the keyboard is used";
  session.Keys("Tab");
  EXPECT_TRUE(WaitUntil([&] { return markPixel() == "255,0,0"; }, 5s)) << "the mark after Tab";
  RunAndRead("xdotool mousemove --window " + session.Window() + " 78 88 click 1");  // Profile 1, the current one
  EXPECT_TRUE(WaitUntil([&] { return markPixel() != "255,0,0"; }, 5s)) << "a click hides the mark";
  EXPECT_EQ(markPixel(), before);
}

TEST(HighDpiE2eTest, AtScaleFactorTwoTheWindowDoublesAndClicksHitTheirControls) {
  ScreenReaderSession session({{"QT_SCALE_FACTOR", "2"}}, "2400x1400x24");
  ASSERT_TRUE(session.Started());
  const std::string geometry = RunAndRead("xdotool getwindowgeometry --shell " + session.Window());
  EXPECT_NE(geometry.find("WIDTH=1800"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("HEIGHT=1120"), std::string::npos) << geometry;
  // Level 1's eighth cell (2000 DPI) at 678,370,40,18 and Apply at 14,452,128,40, in skin pixels.
  RunAndRead("xdotool mousemove --window " + session.Window() + " " + std::to_string(2 * 698) + " " +
             std::to_string(2 * 379) + " click 1");
  RunAndRead("xdotool mousemove --window " + session.Window() + " " + std::to_string(2 * 78) + " " +
             std::to_string(2 * 472) + " click 1");
  ASSERT_TRUE(session.test.WaitForFeatureReports(2 * kSettingsReports, 10s));
  EXPECT_EQ(IniValue(session.test.ConfigPath(), u"Config1", u"DPI_SET0"), "7");
}

}  // namespace
}  // namespace tolvar::testing
