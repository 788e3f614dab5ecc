// Profiles chosen from outside the window, with the real program and the
// simulated mouse: the session-bus interface on a private bus, the command
// line, the rules per application while a real window manager (openbox)
// activates windows of chosen classes, the KWin route and the desktop
// notices against stand-in services.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "base/text.h"
#include "bus_peer.h"
#include "platform/ini/ini_file_store.h"
#include "skin/skin_layout.h"
#include "support/program_under_test.h"
#include "test_windows.h"
#include "x11_session.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;
constexpr const char* kTitle = "Quarrion DORVEL_KITE7";
constexpr int kDpiButton = 6;  // K5 = 6: the mouse's own next DPI level

// Five profiles told apart by their fire time (10 × the profile number).
std::string FiveProfiles(int current) {
  std::string text;
  for (int profile = 1; profile <= 5; ++profile) {
    std::string one = ConfigWithProfile(profile, {{"FIRE_TIME", std::to_string(10 * profile)}});
    if (profile != current) one = one.substr(one.find("[Config"));
    text = profile == current ? one + text : text + one;
  }
  return text;
}

std::string IniValue(const std::string& file, const std::string& section, const std::string& key) {
  IniFileStore ini;
  return Utf16ToUtf8(ini.Read(file, Utf8ToUtf16(section), Utf8ToUtf16(key), 260));
}

ScreenRect MainRow(const std::string& appDir, int row) {
  IniFileStore ini;
  const std::u16string value =
      ini.Read(appDir + "/skins/INI_EN/skin_main_en.ini", u"BUTTONPOS", Utf8ToUtf16(std::to_string(row)), 260);
  const SkinRow fields = SplitSkinRow(value).fields;
  return {ParseDecimal(fields[1]), ParseDecimal(fields[2]), ParseDecimal(fields[3]), ParseDecimal(fields[4])};
}

bool Contains(const std::vector<std::string>& items, const std::string& item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

constexpr const char* kNotificationsXml = R"(<node><interface name="org.freedesktop.Notifications">
  <method name="Notify"><arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
    <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/></method>
</interface></node>)";

constexpr const char* kKWinScriptingXml = R"(<node><interface name="org.kde.kwin.Scripting">
  <method name="loadScript"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="i" direction="out"/></method>
  <method name="unloadScript"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
</interface></node>)";

constexpr const char* kKWinScriptXml = R"(<node><interface name="org.kde.kwin.Script">
  <method name="run"/>
</interface></node>)";

class ProfileSwitchingTest : public ::testing::Test {
 protected:
  struct Options {
    std::string rules = {};  // applications.ini; empty: none
    std::vector<std::string> arguments = {};
    std::map<std::string, std::string> environment = {};
    bool notificationService = false;
    bool kwin = false;
  };

  void Start(const Options& options) {
    address_ = test_.StartPrivateBus();
    peer_ = std::make_unique<BusPeer>(address_);
    if (options.notificationService) {
      peer_->Serve("org.freedesktop.Notifications", "/org/freedesktop/Notifications", kNotificationsXml,
                   [this](const std::string&, GVariant*) { return g_variant_new("(u)", ++lastNoticeId_); });
    }
    if (options.kwin) {
      peer_->Serve("org.kde.KWin", "/Scripting", kKWinScriptingXml, [](const std::string& method, GVariant*) {
        return method == "loadScript" ? g_variant_new("(i)", 0) : g_variant_new("(b)", TRUE);
      });
      peer_->Serve("org.kde.KWin", "/Scripting/Script0", kKWinScriptXml, nullptr);
    }
    test_.WriteConfig(FiveProfiles(1));
    if (!options.rules.empty()) std::ofstream(RulesPath()) << options.rules;
    test_.StartSimulator();
    std::map<std::string, std::string> environment = options.environment;
    environment["DBUS_SESSION_BUS_ADDRESS"] = address_;
    test_.StartProgram(true, options.arguments, environment);
    ASSERT_TRUE(test_.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";
    ASSERT_TRUE(WaitUntil([&] { return peer_->NameHasOwner("org.tolvar.tolvar"); }, 20s))
        << "the program did not take its bus name";
  }

  std::string RulesPath() const { return test_.AppDir() + "/skins/config/applications.ini"; }
  std::size_t Reports() const { return FeatureReports(test_.SimLog()).size(); }
  std::string Property(const std::string& name) { return peer_->ProgramProperty(name).value_or("(none)"); }
  // The fire time of the profile the mouse got last (Apply writes it to profile 6).
  std::string AppliedFireTime() const { return IniValue(test_.ConfigPath(), "Config6", "FIRE_TIME"); }

  // Waits until the program's Profile property is `profile` and the mouse
  // has `reports` settings reports in all.
  void ExpectSwitchedTo(int profile, std::size_t reports) {
    EXPECT_TRUE(WaitUntil([&] { return Property("Profile") == std::to_string(profile); }, 20s))
        << "Profile is " << Property("Profile") << ", expected " << profile;
    EXPECT_TRUE(test_.WaitForFeatureReports(reports, 20s)) << Reports() << " reports, expected " << reports;
    EXPECT_EQ(AppliedFireTime(), std::to_string(10 * profile)) << "the mouse got profile " << profile;
  }

  // The Notify calls the stand-in service received: (replaced id, summary).
  std::vector<std::pair<std::string, std::string>> Notices() {
    std::vector<std::pair<std::string, std::string>> notices;
    for (const ReceivedCall& call : peer_->Calls()) {
      if (call.method != "Notify") continue;
      GVariant* arguments =
          g_variant_parse(G_VARIANT_TYPE("(susssasa{sv}i)"), call.arguments.c_str(), nullptr, nullptr, nullptr);
      if (arguments == nullptr) continue;
      guint32 replaces = 0;
      const gchar* summary = nullptr;
      g_variant_get_child(arguments, 1, "u", &replaces);
      g_variant_get_child(arguments, 3, "&s", &summary);
      notices.emplace_back(std::to_string(replaces), summary);
      g_variant_unref(arguments);
    }
    return notices;
  }

  // Runs `tolvar <arguments>` beside the running one; its status and output.
  std::pair<int, std::string> RunCommand(const std::string& arguments) {
    const std::string out = test_.RuntimeDir() + "/command.txt";
    std::map<std::string, std::string> environment = test_.ProgramEnvironment();
    environment["DBUS_SESSION_BUS_ADDRESS"] = address_;
    ChildProcess command(
        {"/bin/sh", "-c", "exec \"$0\" " + arguments + " >\"$1\" 2>&1", test_.AppDir() + "/tolvar", out}, environment);
    const auto status = command.WaitForExit(40s);
    EXPECT_TRUE(status.has_value()) << arguments << " did not end";
    return {status.value_or(-1), ReadWholeFile(out)};
  }

  void PressDpiButton() {
    test_.SimCommand("press " + std::to_string(kDpiButton));
    test_.SimCommand("release " + std::to_string(kDpiButton));
  }

  void ClickMain(int row) {
    const std::unique_ptr<X11Session> x = X11Session::Open();
    ASSERT_NE(x, nullptr);
    std::optional<XWindowId> window;
    ASSERT_TRUE(WaitUntil([&] { return (window = x->WindowTitled(test_.Program().Pid(), kTitle)).has_value(); }, 20s));
    const ScreenRect origin = *x->Geometry(*window);
    const ScreenRect r = MainRow(test_.AppDir(), row);
    RunAndRead("xdotool mousemove --sync " + std::to_string(origin.x + r.x + r.width / 2) + " " +
               std::to_string(origin.y + r.y + r.height / 2));
    std::this_thread::sleep_for(50ms);
    RunAndRead("xdotool click 1");
  }

  ProgramUnderTest test_;
  std::string address_;
  std::unique_ptr<BusPeer> peer_;
  guint32 lastNoticeId_ = 0;
};

// ---- The bus interface ----

TEST_F(ProfileSwitchingTest, BusMethodsPropertiesAndTheInvalidProfileError) {
  Start({});
  EXPECT_EQ(Property("Profile"), "1");
  EXPECT_EQ(Property("DpiLevel"), "1");
  EXPECT_EQ(Property("Connected"), "true");
  EXPECT_EQ(Property("FocusSource"), "'X11'");

  for (const int wrong : {0, 6, -1}) {
    EXPECT_EQ(peer_->CallProgram("SetProfile", g_variant_new("(i)", wrong)), "org.tolvar.Tolvar1.Error.InvalidProfile")
        << wrong;
  }
  EXPECT_EQ(Property("Profile"), "1") << "a wrong number changes nothing";
  EXPECT_EQ(Reports(), kSettingsReports);

  EXPECT_EQ(peer_->CallProgram("SetProfile", g_variant_new("(i)", 3)), "");
  ExpectSwitchedTo(3, 2 * kSettingsReports);
  EXPECT_EQ(IniValue(test_.ConfigPath(), "Init", "CurConfig"), "3");
  EXPECT_TRUE(WaitUntil([&] { return Contains(peer_->PropertyChanges(), "Profile=3"); }, 10s));

  EXPECT_EQ(peer_->CallProgram("Apply", nullptr), "");
  EXPECT_TRUE(test_.WaitForFeatureReports(3 * kSettingsReports, 20s)) << Reports();
  EXPECT_EQ(Property("Profile"), "3");
}

TEST_F(ProfileSwitchingTest, PropertiesChangedAfterTheMousesDpiButtonAndAClickInTheWindow) {
  Start({});
  PressDpiButton();
  EXPECT_TRUE(WaitUntil([&] { return Contains(peer_->PropertyChanges(), "DpiLevel=2"); }, 20s))
      << "changes seen: " << ::testing::PrintToString(peer_->PropertyChanges());
  EXPECT_EQ(Property("DpiLevel"), "2");

  ClickMain(4 + 3);  // the button of profile 4
  EXPECT_TRUE(WaitUntil([&] { return Contains(peer_->PropertyChanges(), "Profile=4"); }, 20s))
      << "changes seen: " << ::testing::PrintToString(peer_->PropertyChanges());
  EXPECT_EQ(Reports(), kSettingsReports) << "a click on a profile button alone sends nothing";
}

// ---- The command line ----

TEST_F(ProfileSwitchingTest, CommandLineAsksTheRunningProgram) {
  Start({});
  const auto [chosen, chosenText] = RunCommand("--profile 3");
  EXPECT_EQ(chosen, 0) << chosenText;
  // Done means done: the reports are there when the command returns.
  EXPECT_EQ(Reports(), 2 * kSettingsReports);
  ExpectSwitchedTo(3, 2 * kSettingsReports);

  const auto [applied, appliedText] = RunCommand("--apply");
  EXPECT_EQ(applied, 0) << appliedText;
  EXPECT_EQ(Reports(), 3 * kSettingsReports);

  for (const char* wrong : {"--profile 0", "--profile 6", "--profile x", "--profile", "--profile 2x"}) {
    const auto [status, text] = RunCommand(wrong);
    EXPECT_EQ(status, 2) << wrong << ": " << text;
    EXPECT_NE(text.find("1 to 5"), std::string::npos) << text;
  }
  EXPECT_EQ(Reports(), 3 * kSettingsReports) << "a wrong number sends nothing";

  const auto [diagnosed, diagnosis] = RunCommand("--diagnose");
  EXPECT_NE(diagnosis.find("window in front (profile per application): the X server's active window "
                           "(_NET_ACTIVE_WINDOW)  (the running program)"),
            std::string::npos)
      << diagnosis;

  test_.Program().Terminate(10s);
  const auto [afterwards, afterwardsText] = RunCommand("--diagnose");
  EXPECT_NE(afterwardsText.find("(_NET_ACTIVE_WINDOW)  (when the program starts)"), std::string::npos)
      << afterwardsText;
  for (const char* command : {"--profile 2", "--apply"}) {
    const auto [status, text] = RunCommand(command);
    EXPECT_EQ(status, 1) << command << ": " << text;
    EXPECT_EQ(text, "tolvar: the program is not running\n");
  }
}

// ---- Starting in the tray ----

TEST_F(ProfileSwitchingTest, TheTrayOptionStartsHiddenInTheTray) {
  const std::unique_ptr<X11Session> x = X11Session::Open();
  ASSERT_NE(x, nullptr);
  ChildProcess& tray = test_.StartHelper({"trayer"});
  ASSERT_TRUE(WaitUntil([&] { return x->SelectionOwned("_NET_SYSTEM_TRAY_S0"); }, 20s));
  Start({.arguments = {"--tray"}});
  const pid_t pid = test_.Program().Pid();
  ASSERT_TRUE(WaitUntil([&] { return x->WindowEmbeddedIn(tray.Pid(), pid).has_value(); }, 20s)) << "no tray icon";
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(x->WindowTitled(pid, kTitle).has_value()) << "the window is hidden, not minimised in a task bar";

  ChildProcess second({test_.AppDir() + "/tolvar"}, test_.ProgramEnvironment());
  ASSERT_TRUE(second.WaitForExit(20s).has_value());
  EXPECT_TRUE(WaitUntil([&] { return x->WindowTitled(pid, kTitle).has_value(); }, 20s)) << "the window comes back";
}

// ---- Rules per application, with openbox activating the windows ----

class RulesTest : public ProfileSwitchingTest {
 protected:
  void StartWithWindowManager(const std::string& rules, bool notices = false) {
    windows_ = TestWindows::Open();
    ASSERT_NE(windows_, nullptr);
    test_.StartHelper({"openbox", "--sm-disable"});
    ASSERT_TRUE(WaitUntil([&] { return windows_->WindowManagerRunning(); }, 20s)) << "openbox did not start";
    Start({.rules = rules, .notificationService = notices});
  }

  void Activate(const std::string& windowClass, const std::string& instance) {
    const std::string key = windowClass + "/" + instance;
    if (!ids_.contains(key)) ids_[key] = windows_->Create(windowClass, instance);
    RunAndRead("xdotool windowactivate --sync " + std::to_string(ids_[key]) + " 2>&1");
  }

  std::unique_ptr<TestWindows> windows_;
  std::map<std::string, unsigned long> ids_;
};

TEST_F(RulesTest, TheWindowInFrontChoosesItsProfileByClassInstanceOrProgram) {
  StartWithWindowManager("[Applications]\nFooApp=3\nbarinstance=4\n" + std::string("profile_switching_e2e_tests") +
                         "=5\n[Options]\nOtherwise=0\n");
  // The test's own windows carry no _NET_WM_PID, so the program-file rule
  // cannot match them; class and instance name can.
  Activate("fooapp", "foo");  // the class, without regard to case
  ExpectSwitchedTo(3, 2 * kSettingsReports);

  Activate("Unruled", "unruled");  // Otherwise 0: the profile stays
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Property("Profile"), "3");
  EXPECT_EQ(Reports(), 2 * kSettingsReports);

  Activate("Baz", "BarInstance");  // the instance name
  ExpectSwitchedTo(4, 3 * kSettingsReports);

  Activate("Baz", "BarInstance");  // the profile in use again: nothing is sent
  Activate("Baz2", "barinstance");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Reports(), 3 * kSettingsReports);
}

TEST_F(RulesTest, OtherwiseSwitchesEveryOtherApplication) {
  StartWithWindowManager("[Applications]\nFooApp=3\n[Options]\nOtherwise=2\n");
  Activate("FooApp", "foo");
  ExpectSwitchedTo(3, 2 * kSettingsReports);
  Activate("Unruled", "unruled");
  ExpectSwitchedTo(2, 3 * kSettingsReports);
  Activate("FooApp", "foo");
  ExpectSwitchedTo(3, 4 * kSettingsReports);
}

TEST_F(RulesTest, TheFileEditedByHandCountsFromTheNextWindowInFront) {
  StartWithWindowManager("[Applications]\nFooApp=3\n");
  Activate("FooApp", "foo");
  ExpectSwitchedTo(3, 2 * kSettingsReports);
  std::ofstream(RulesPath()) << "[Applications]\nFooApp=3\nUnruled=5\n";
  Activate("Unruled", "unruled");
  ExpectSwitchedTo(5, 3 * kSettingsReports);
}

TEST_F(RulesTest, UnsavedChangesInTheWindowAreKeptAndTheNoticeSaysWhy) {
  StartWithWindowManager("[Applications]\nFooApp=3\n[Options]\nOtherwise=0\n", true);
  ClickMain(66 + 12 * 0 + 7);  // level 0's DPI value: an edit, neither saved nor applied
  std::this_thread::sleep_for(300ms);
  Activate("FooApp", "foo");
  ASSERT_TRUE(WaitUntil([&] { return !Notices().empty(); }, 20s)) << "no notice";
  EXPECT_NE(Notices().back().second.find("unsaved"), std::string::npos) << Notices().back().second;
  EXPECT_EQ(Property("Profile"), "1");
  EXPECT_EQ(Reports(), kSettingsReports) << "no switch while the window holds unsaved changes";

  ClickMain(0);  // Save
  std::this_thread::sleep_for(300ms);
  Activate("Unruled", "unruled");
  Activate("FooApp", "foo");
  ExpectSwitchedTo(3, 2 * kSettingsReports);
  EXPECT_EQ(IniValue(test_.ConfigPath(), "Config1", "DPI_SET0"), "7") << "the saved edit stays in profile 1";
}

// ---- The KWin route ----

TEST_F(ProfileSwitchingTest, KWinLoadsTheFocusScriptAndItsReportsSwitchTheProfile) {
  Start({.rules = "[Applications]\nfirefox=3\n[Options]\nOtherwise=0\n",
         .environment = {{"WAYLAND_DISPLAY", "wayland-test"}},
         .kwin = true});
  EXPECT_EQ(Property("FocusSource"), "'KWin'");
  const std::vector<ReceivedCall> calls = peer_->Calls();
  const auto load =
      std::find_if(calls.begin(), calls.end(), [](const ReceivedCall& c) { return c.method == "loadScript"; });
  ASSERT_NE(load, calls.end()) << "the script was not loaded";
  const std::string path = test_.RuntimeDir() + "/tolvar-focus.js";
  EXPECT_EQ(load->arguments, "('" + path + "', 'tolvar-focus')");
  EXPECT_NE(ReadWholeFile(path).find("\"WindowActivated\""), std::string::npos);
  EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const ReceivedCall& c) {
    return c.method == "run" && c.object == "/Scripting/Script0";
  })) << "the script was not started";

  // What the script sends when a window comes to the front.
  EXPECT_EQ(peer_->CallProgram("WindowActivated", g_variant_new("(sss)", "Firefox", "Navigator", "")), "");
  ExpectSwitchedTo(3, 2 * kSettingsReports);
  EXPECT_EQ(peer_->CallProgram("WindowActivated", g_variant_new("(sss)", "", "", "org.kde.konsole")), "");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Property("Profile"), "3") << "Otherwise 0 stays";
}

// ---- Notices ----

TEST_F(ProfileSwitchingTest, OneNoticePerChangeEachReplacingTheLast) {
  Start({.notificationService = true});
  ASSERT_EQ(peer_->CallProgram("SetProfile", g_variant_new("(i)", 3)), "");
  ASSERT_TRUE(WaitUntil([&] { return Notices().size() == 1; }, 20s));
  EXPECT_EQ(Notices()[0], (std::pair<std::string, std::string>{"0", "Profile 3"}));

  PressDpiButton();  // level 1 to 2 of profile 3: DPI_SET2 = 5, 1200 DPI
  ASSERT_TRUE(WaitUntil([&] { return Notices().size() == 2; }, 20s));
  EXPECT_EQ(Notices()[1], (std::pair<std::string, std::string>{"1", "DPI 1200"})) << "replaces the first";

  ASSERT_EQ(peer_->CallProgram("Apply", nullptr), "");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Notices().size(), 2u) << "Apply changes neither the profile nor the level";
}

TEST_F(ProfileSwitchingTest, NoNoticesWhenTurnedOff) {
  Start({.rules = "[Options]\nNotifications=0\n", .notificationService = true});
  ASSERT_EQ(peer_->CallProgram("SetProfile", g_variant_new("(i)", 2)), "");
  PressDpiButton();
  EXPECT_TRUE(WaitUntil([&] { return Property("DpiLevel") == "2"; }, 20s));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Notices().empty());
}

}  // namespace
}  // namespace tolvar::testing
