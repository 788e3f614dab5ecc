// The main window answering the mouse as a person uses it: xdotool moves,
// clicks and types on the test's own display; the checks are the reports
// the simulated mouse receives and the files the program writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "skin/skin_layout.h"
#include "support/program_under_test.h"
#include "x11_session.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;
constexpr const char* kTitle = "Quarrion DORVEL_KITE7";

ScreenRect LayoutRow(const std::string& appDir, const std::string& file, int row) {
  IniFileStore ini;
  const std::u16string value =
      ini.Read(appDir + "/skins/INI_EN/" + file, u"BUTTONPOS", Utf8ToUtf16(std::to_string(row)), 260);
  const SkinRow fields = SplitSkinRow(value).fields;
  return {ParseDecimal(fields[1]), ParseDecimal(fields[2]), ParseDecimal(fields[3]), ParseDecimal(fields[4])};
}

void ClickScreen(int x, int y) {
  RunAndRead("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
  std::this_thread::sleep_for(50ms);
  RunAndRead("xdotool click 1");
}

std::u16string Key(const std::string& file, const std::string& section, const std::string& key) {
  IniFileStore ini;
  return ini.Read(file, Utf8ToUtf16(section), Utf8ToUtf16(key), 260);
}

class InteractionE2eTest : public ::testing::Test {
 protected:
  void Start(const std::map<std::string, std::string>& profile) {
    x_ = X11Session::Open();
    ASSERT_NE(x_, nullptr) << "cannot open the display " << test_.Display();
    test_.WriteConfig(ConfigWithProfile(2, profile));
    test_.StartSimulator();
    test_.StartProgram();
    ASSERT_TRUE(test_.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";
    ASSERT_TRUE(WaitUntil([&] { return (window_ = x_->WindowTitled(Pid(), kTitle)).has_value(); }, 20s));
    origin_ = *x_->Geometry(*window_);
  }

  pid_t Pid() { return test_.Program().Pid(); }

  void ClickMain(int row) {
    const ScreenRect r = LayoutRow(test_.AppDir(), "skin_main_en.ini", row);
    ClickScreen(origin_.x + r.x + r.width / 2, origin_.y + r.y + r.height / 2);
  }

  // The windows of the program other than the main window.
  std::vector<XWindowId> Popups() {
    std::vector<XWindowId> popups;
    for (const XWindowId w : x_->ViewableWindowsOf(Pid())) {
      if (w != *window_ && x_->Title(w) != kTitle) popups.push_back(w);
    }
    return popups;
  }

  std::optional<XWindowId> WaitForPopupTitled(const std::string& title) {
    std::optional<XWindowId> found;
    WaitUntil([&] { return (found = x_->WindowTitled(Pid(), title)).has_value(); }, 10s);
    return found;
  }

  // A popup's item height: its shape is `items` bands and one line.
  int ItemHeight(XWindowId popup, int items) {
    const std::vector<ScreenRect> shape = x_->BoundingShape(popup);
    int height = 0;
    for (const ScreenRect& r : shape) height = std::max(height, r.y + r.height);
    return (height - 1) / items;
  }

  void ClickItem(XWindowId popup, int item, int itemHeight) {
    const ScreenRect place = *x_->Geometry(popup);
    ClickScreen(place.x + 20, place.y + (item - 1) * itemHeight + itemHeight / 2);
  }

  ProgramUnderTest test_;
  std::unique_ptr<X11Session> x_;
  std::optional<XWindowId> window_;
  ScreenRect origin_;
};

TEST_F(InteractionE2eTest, ADpiCellAndTheWheelSwitchReachTheMouseOnApply) {
  Start({{"DPI_SET0", "2"}, {"WHEEL_STATUS", "0"}});
  ClickMain(66 + 7);  // level 0, value 7
  ClickMain(33);      // wheel on
  ClickMain(3);       // Apply
  ASSERT_TRUE(test_.WaitForFeatureReports(2 * kSettingsReports, 20s)) << "Apply sent nothing";
  const std::vector<SimRecord> reports = FeatureReports(test_.SimLog());
  std::vector<std::string> changed;
  for (std::size_t i = 0; i < kSettingsReports; ++i) {
    if (reports[i].bytes != reports[kSettingsReports + i].bytes) changed.push_back(Hex({reports[i].bytes[1]}));
  }
  EXPECT_EQ(changed, (std::vector<std::string>{"11", "09"})) << "only the wheel and level 0 reports change";
  EXPECT_EQ(Key(test_.ConfigPath(), "Config2", "DPI_SET0"), u"7");
  EXPECT_EQ(Key(test_.ConfigPath(), "Config2", "WHEEL_STATUS"), u"1");
}

TEST_F(InteractionE2eTest, AFunctionChosenInTheSecondaryPopupIsSaved) {
  Start({{"K0", "1"}, {"K1", "2"}});
  ClickMain(21);  // button 1's function
  const std::optional<XWindowId> menu = WaitForPopupTitled("MainMenuDlg");
  ASSERT_TRUE(menu) << "the function popup did not open";
  const int h = ItemHeight(*menu, 10);
  const ScreenRect place = *x_->Geometry(*menu);
  RunAndRead("xdotool mousemove --sync " + std::to_string(place.x + 20) + " " +
             std::to_string(place.y + 7 * h + h / 2));
  std::optional<XWindowId> sub;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const XWindowId w : Popups()) {
          if (w != *menu) sub = w;
        }
        return sub.has_value();
      },
      10s))
      << "hovering the multimedia category opened no secondary popup";
  ClickItem(*sub, 3, ItemHeight(*sub, 10));  // code 23
  ASSERT_TRUE(WaitUntil([&] { return Popups().empty(); }, 10s)) << "the popups stayed open after the choice";
  ClickMain(0);  // Save
  EXPECT_TRUE(WaitUntil([&] { return Key(test_.ConfigPath(), "Config2", "K1") == u"23"; }, 10s))
      << "K1 = " << Utf16ToUtf8(Key(test_.ConfigPath(), "Config2", "K1"));
}

// The first popup shows without taking the focus. Escape typed where the
// focus is (the main window, as a window manager leaves it; or the popup
// under the pointer, without one) and the window manager's close each end
// it without a choice.
TEST_F(InteractionE2eTest, EscapeAndTheWindowManagersCloseEndTheFunctionPopupWithoutAChoice) {
  Start({{"K0", "1"}, {"K1", "2"}});
  const std::vector<std::pair<const char*, std::function<void(XWindowId menu)>>> ways{
      {"Escape in the focused main window",
       [&](XWindowId) { RunAndRead("xdotool windowfocus --sync " + std::to_string(*window_) + " key Escape"); }},
      {"Escape with the pointer over the popup, no focus given",
       [&](XWindowId menu) {
         const ScreenRect place = *x_->Geometry(menu);
         RunAndRead("xdotool mousemove --sync " + std::to_string(place.x + 20) + " " + std::to_string(place.y + 5) +
                    " key Escape");
       }},
      {"the window manager's close", [&](XWindowId menu) { x_->CloseAsWindowManager(menu); }},
  };
  for (const auto& [what, close] : ways) {
    SCOPED_TRACE(what);
    ClickMain(21);
    const std::optional<XWindowId> menu = WaitForPopupTitled("MainMenuDlg");
    ASSERT_TRUE(menu) << "the function popup did not open";
    close(*menu);
    EXPECT_TRUE(WaitUntil([&] { return Popups().empty(); }, 10s)) << "the popup stayed open";
  }
  ClickMain(0);  // Save
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Key(test_.ConfigPath(), "Config2", "K1"), u"2") << "nothing was chosen";
}

// Under X11 the window that took the press keeps the pointer until the
// release: pressed on an assignment button, dragged onto an item of the
// popup and released there, the item is chosen; dragged through a category
// into its list, the list stays and its item is chosen.
TEST_F(InteractionE2eTest, APressDraggedOntoAnItemAndReleasedThereChoosesIt) {
  Start({{"K0", "1"}, {"K1", "2"}, {"K2", "3"}});
  const auto press = [&](int row) {
    const ScreenRect r = LayoutRow(test_.AppDir(), "skin_main_en.ini", row);
    RunAndRead("xdotool mousemove --sync " + std::to_string(origin_.x + r.x + r.width / 2) + " " +
               std::to_string(origin_.y + r.y + r.height / 2) + " mousedown 1");
  };
  const auto dragTo = [](int x, int y) {
    RunAndRead("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
    std::this_thread::sleep_for(200ms);
  };

  press(22);  // button 2's function
  const std::optional<XWindowId> menu = WaitForPopupTitled("MainMenuDlg");
  ASSERT_TRUE(menu) << "the function popup did not open";
  const int h = ItemHeight(*menu, 10);
  const ScreenRect place = *x_->Geometry(*menu);
  dragTo(place.x + 20, place.y + 4);
  dragTo(place.x + 20, place.y + 3 * h + h / 2);  // item 4
  RunAndRead("xdotool mouseup 1");
  EXPECT_TRUE(WaitUntil([&] { return Popups().empty(); }, 10s)) << "the release chose nothing";

  press(21);  // button 1's function
  const std::optional<XWindowId> again = WaitForPopupTitled("MainMenuDlg");
  ASSERT_TRUE(again);
  const ScreenRect second = *x_->Geometry(*again);
  dragTo(second.x + 20, second.y + 4);
  dragTo(second.x + 20, second.y + 6 * h + h / 2);  // category 7
  std::optional<XWindowId> sub;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const XWindowId w : Popups()) {
          if (w != *again) sub = w;
        }
        return sub.has_value();
      },
      10s))
      << "the category opened no list";
  const ScreenRect list = *x_->Geometry(*sub);
  const int subHeight = ItemHeight(*sub, 6);
  dragTo(list.x + 5, second.y + 6 * h + h / 2);                 // across the border
  dragTo(list.x + 20, list.y + 2 * subHeight + subHeight / 2);  // item 3: code 13
  EXPECT_EQ(Popups().size(), 2u) << "the list vanished on the way";
  RunAndRead("xdotool mouseup 1");
  EXPECT_TRUE(WaitUntil([&] { return Popups().empty(); }, 10s)) << "the release in the list chose nothing";

  ClickMain(0);  // Save
  EXPECT_TRUE(WaitUntil([&] { return Key(test_.ConfigPath(), "Config2", "K2") == u"4"; }, 10s))
      << "K2 = " << Utf16ToUtf8(Key(test_.ConfigPath(), "Config2", "K2"));
  EXPECT_TRUE(WaitUntil([&] { return Key(test_.ConfigPath(), "Config2", "K1") == u"13"; }, 10s))
      << "K1 = " << Utf16ToUtf8(Key(test_.ConfigPath(), "Config2", "K1"));
}

TEST_F(InteractionE2eTest, TheWarningCancelledWithEscapeOpensNoPopup) {
  Start({{"K0", "1"}, {"K1", "2"}, {"K2", "3"}, {"K3", "5"}, {"K4", "4"}, {"K5", "6"}});
  ClickMain(20);  // the only button with the primary click
  ASSERT_TRUE(WaitUntil([&] { return Popups().size() == 1; }, 10s)) << "no warning was shown";
  RunAndRead("xdotool key Escape");
  ASSERT_TRUE(WaitUntil([&] { return Popups().empty(); }, 10s)) << "Escape did not close the warning";
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(x_->WindowTitled(Pid(), "MainMenuDlg")) << "the function popup opened after a cancel";
}

TEST_F(InteractionE2eTest, TheLanguageSwitchIsStoredAndRepaintsTheLabels) {
  Start({});
  std::optional<WindowImage> before;
  ASSERT_TRUE(WaitUntil([&] { return (before = x_->Capture(*window_)).has_value(); }, 10s));
  ClickMain(17);
  EXPECT_TRUE(WaitUntil([&] { return Key(test_.ConfigPath(), "Init", "VER_SEL") == u"0"; }, 10s));
  std::optional<WindowImage> after;
  EXPECT_TRUE(WaitUntil([&] { return (after = x_->Capture(*window_)) && after->pixels != before->pixels; }, 10s))
      << "the window looks the same in the other language";
  EXPECT_EQ(x_->Title(*window_), kTitle);
}

TEST_F(InteractionE2eTest, ExportThroughTheSaveDialogThenImportThroughTheOpenDialog) {
  Start({{"DPI_SET2", "9"}});
  const std::string file = test_.AppDir() + "/exchange";
  ClickMain(15);  // Export
  ASSERT_TRUE(WaitUntil([&] { return !Popups().empty(); }, 10s)) << "no save dialog";
  std::this_thread::sleep_for(500ms);
  RunAndRead("xdotool type --delay 5 '" + file + "'");
  RunAndRead("xdotool key Return");
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(file + ".ini"); }, 10s))
      << "the export did not write " << file << ".ini";
  EXPECT_EQ(Key(file + ".ini", "Config7", "DPI_SET2"), u"9");

  ClickMain(66 + 12 * 2 + 1);  // level 2, value 1
  ClickMain(14);               // Import
  ASSERT_TRUE(WaitUntil([&] { return !Popups().empty(); }, 10s)) << "no open dialog";
  std::this_thread::sleep_for(500ms);
  RunAndRead("xdotool type --delay 5 '" + file + ".ini'");
  RunAndRead("xdotool key Return");
  ASSERT_TRUE(WaitUntil([&] { return Popups().empty(); }, 10s));
  ClickMain(0);  // Save: the imported settings are the current ones
  EXPECT_TRUE(WaitUntil([&] { return Key(test_.ConfigPath(), "Config2", "DPI_SET2") == u"9"; }, 10s))
      << "DPI_SET2 = " << Utf16ToUtf8(Key(test_.ConfigPath(), "Config2", "DPI_SET2"));
}

}  // namespace
}  // namespace tolvar::testing
