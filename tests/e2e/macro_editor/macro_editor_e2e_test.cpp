// The macro editor as a user drives it: open the advanced page, name and add
// a macro, record keys typed at known gaps (the keyboard is grabbed, so the
// name edit clicked meanwhile gets none of them), save; insert a mouse-button
// event from the drawn context menu and edit a delay in place, save again;
// then the macro, assigned to a button, plays through the simulated mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/program_under_test.h"
#include "x11_session.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;
constexpr int kMacroButton = 3;  // the mouse's button 3 carries K2

// Rectangles of the delivered English layouts (x, y, width, height).
constexpr ScreenRect kAdvancedTab{332, 12, 124, 32};
constexpr ScreenRect kMainTab{204, 12, 124, 32};
constexpr ScreenRect kAddButton{390, 104, 99, 28};
constexpr ScreenRect kRecordButton{454, 142, 66, 26};
constexpr ScreenRect kSaveButton{526, 142, 66, 26};
constexpr ScreenRect kNameEdit{252, 142, 196, 26};
constexpr ScreenRect kEventList{342, 202, 250, 262};

// Gaps between the typed keys, and how far a recorded delay may stray from
// them on a loaded machine (the delay is measured at the program's end).
constexpr int kFirstGapMs = 200;
constexpr int kSecondGapMs = 300;
constexpr int kEarlyMs = 20;
constexpr int kLateMs = 150;

std::string Xdotool(const std::string& arguments) { return RunAndRead("xdotool " + arguments + " 2>&1; echo"); }

class MacroEditorE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    x_ = X11Session::Open();
    ASSERT_NE(x_, nullptr);
    test_.WriteConfig(ConfigWithProfile(1, {{"K2", "41"}}));  // user macro 0
    test_.WriteUserMacros(UserMacroTable{});
    test_.StartSimulator();
    test_.StartProgram();
    ASSERT_TRUE(test_.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";
    std::optional<XWindowId> window;
    ASSERT_TRUE(WaitUntil(
        [&] { return (window = x_->WindowTitled(test_.Program().Pid(), "Quarrion DORVEL_KITE7")).has_value(); }, 20s));
    window_ = *window;
    const std::optional<ScreenRect> place = x_->Geometry(window_);
    ASSERT_TRUE(place.has_value());
    origin_ = *place;
  }

  // Clicks the middle of `r` (window coordinates) with `button`.
  void Click(const ScreenRect& r, int button = 1) { ClickAt(r.x + r.width / 2, r.y + r.height / 2, button); }
  void ClickAt(int x, int y, int button = 1) {
    Xdotool("mousemove --sync " + std::to_string(origin_.x + x) + " " + std::to_string(origin_.y + y) + " click " +
            std::to_string(button));
    std::this_thread::sleep_for(300ms);  // the program's turn to act on it
  }

  // Right-clicks (x, y) and waits until the context menu is shown, so the
  // keys that follow reach it.
  void OpenMenuAt(int x, int y) {
    const std::size_t windows = x_->ViewableWindowsOf(test_.Program().Pid()).size();
    ClickAt(x, y, 3);
    ASSERT_TRUE(WaitUntil([&] { return x_->ViewableWindowsOf(test_.Program().Pid()).size() > windows; }, 10s))
        << "no menu opened";
  }

  std::optional<Macro> SavedMacro(const std::u16string& name) const {
    IniFileStore ini;
    const std::string file = test_.AppDir() + "/Macro_EN.dat";
    const int count = ParseDecimal(ini.Read(file, u"Macros", u"macroNum", 3));
    for (int i = 0; i < count; ++i) {
      const Macro macro = DecodeMacro(ini.Read(file, u"Macros", Utf8ToUtf16(std::to_string(i)), 4000));
      if (MacroNameText(macro) == name) return macro;
    }
    return std::nullopt;
  }
  int SavedMacroCount() const {
    IniFileStore ini;
    return ParseDecimal(ini.Read(test_.AppDir() + "/Macro_EN.dat", u"Macros", u"macroNum", 3));
  }

  // The rows of the event list's selected (highlighted) line, in window
  // coordinates, while the first line is not selected: those whose colour
  // near the list's right edge differs from both the first line's and the
  // empty list's below the lines.
  std::optional<std::pair<int, int>> SelectedLineRows() const {
    const std::optional<WindowImage> image = x_->Capture(window_);
    if (!image) return std::nullopt;
    const int x = kEventList.x + kEventList.width - 30;
    const Pixel empty = image->At(x, kEventList.y + kEventList.height - 3);
    const Pixel firstLine = image->At(x, kEventList.y + 1);
    int top = -1, bottom = -1;
    for (int y = kEventList.y; y < kEventList.y + kEventList.height; ++y) {
      if (image->At(x, y) == empty || image->At(x, y) == firstLine) continue;
      if (top < 0) top = y;
      bottom = y + 1;
    }
    if (top < 0) return std::nullopt;
    return std::pair{top, bottom};
  }

  // The keys the simulated mouse was sent since log record `from`, each
  // report's first key, in order.
  std::vector<int> PlayedKeys(std::size_t from) const {
    std::vector<int> keys;
    const std::vector<SimRecord> records = test_.SimLog();
    for (std::size_t i = from; i < records.size(); ++i) {
      if (records[i].kind == "KEYS" && !records[i].bytes.empty()) keys.push_back(records[i].bytes[0]);
    }
    return keys;
  }
  void SetLayout(const std::string& layout) {
    ASSERT_EQ(RunAndRead("setxkbmap -display " + test_.Display() + " " + layout + " 2>&1; echo $?"), "0\n");
  }
  ProgramUnderTest test_;  // first: its display outlives the connection to it
  std::unique_ptr<X11Session> x_;
  XWindowId window_ = 0;
  ScreenRect origin_;
};

TEST_F(MacroEditorE2eTest, RecordEditSaveAndPlay) {
  Click(kAdvancedTab);
  Click(kNameEdit);
  Xdotool("type --delay 50 rec");
  Click(kAddButton);
  Click(kRecordButton);
  Click(kNameEdit);  // the name edit takes the focus; the grab keeps the keys from it
  Xdotool("keydown a sleep " + std::to_string(kFirstGapMs / 1000.0) + " keyup a sleep " +
          std::to_string(kSecondGapMs / 1000.0) + " keydown b sleep " + std::to_string(kFirstGapMs / 1000.0) +
          " keyup b");
  Click(kRecordButton);  // stop
  Click(kSaveButton);

  std::optional<Macro> macro;
  ASSERT_TRUE(WaitUntil([&] { return (macro = SavedMacro(u"rec")).has_value() && macro->eventCount == 4; }, 20s))
      << "no macro \"rec\" of four events was saved";
  const std::uint8_t codes[] = {4, 4, 5, 5};
  const std::uint8_t actions[] = {1, 2, 1, 2};
  const int gaps[] = {kFirstGapMs, kSecondGapMs, kFirstGapMs};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(macro->events[i].code, codes[i]) << i;
    EXPECT_EQ(macro->events[i].action, actions[i]) << i;
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(macro->events[i].delay, gaps[i] - kEarlyMs) << i;
    EXPECT_LE(macro->events[i].delay, gaps[i] + kLateMs) << i;
  }
  EXPECT_EQ(macro->events[3].delay, 30);

  Click(kAddButton);  // had the name edit got the keys, this would add "recab"
  Click(kSaveButton);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(SavedMacroCount(), 1) << "the typed keys reached the name edit";

  // Right-click the first line: Add Forward › Left Button › Down.
  OpenMenuAt(kEventList.x + 40, kEventList.y + 3);
  Xdotool("key --delay 150 Down Right Right Return");
  std::this_thread::sleep_for(300ms);
  // The selection follows the former first event, now line 2: its rows give
  // the line height, and line 1 (the new event's delay) lies above it.
  std::optional<std::pair<int, int>> line2;
  ASSERT_TRUE(WaitUntil([&] { return (line2 = SelectedLineRows()).has_value(); }, 10s)) << "no line selected";
  const int height = line2->second - line2->first;
  ASSERT_GT(height, 4);
  OpenMenuAt(kEventList.x + 40, line2->first - height / 2);
  Xdotool("key --delay 150 Down Down Down Return");  // Modify Delay
  std::this_thread::sleep_for(300ms);
  Xdotool("type --delay 50 250");
  Xdotool("key Return");
  std::this_thread::sleep_for(300ms);
  Click(kSaveButton);

  ASSERT_TRUE(WaitUntil([&] { return (macro = SavedMacro(u"rec")).has_value() && macro->eventCount == 5; }, 20s))
      << "the inserted event was not saved";
  EXPECT_EQ(macro->events[0], (MacroEvent{kLeftButtonCode, kActionPress, 250}))
      << "line 2 found at rows " << line2->first << ".." << line2->second << ", delay " << macro->events[0].delay;
  EXPECT_EQ(macro->events[1].code, 4);

  // The macro on K2 plays when the mouse reports its button.
  const std::size_t before = test_.SimLog().size();
  test_.SimCommand("press " + std::to_string(kMacroButton));
  test_.SimCommand("release " + std::to_string(kMacroButton));
  std::vector<std::string> played;
  ASSERT_TRUE(WaitUntil(
      [&] {
        played.clear();
        const std::vector<SimRecord> records = test_.SimLog();
        for (std::size_t i = before; i < records.size(); ++i) {
          if (records[i].kind == "KEYS" || records[i].kind == "BUTTONS") {
            played.push_back(records[i].kind + " " + Hex(records[i].bytes));
          }
        }
        return played.size() >= 7;
      },
      20s))
      << "the macro was not played";
  const std::vector<std::string> expected{"BUTTONS FE",
                                          "KEYS 04 00 00 00 00 00",
                                          "KEYS 00 00 00 00 00 00",
                                          "KEYS 05 00 00 00 00 00",
                                          "KEYS 00 00 00 00 00 00",
                                          "BUTTONS FF",
                                          "KEYS 00 00 00 00 00 00"};
  EXPECT_EQ(std::vector<std::string>(played.begin(), played.begin() + 7), expected);
}

// Keys are recorded by position: on the French layout the key printed A is
// the US layout's Q, é is 2 and M is the US semicolon key; the mouse plays
// back exactly those keys (usages 0x14, 0x1F, 0x33).
TEST_F(MacroEditorE2eTest, ARecordingOnTheFrenchLayoutPlaysBackTheKeysPressed) {
  SetLayout("fr");
  Click(kAdvancedTab);
  Click(kNameEdit);
  Xdotool("type --delay 50 fr");
  Click(kAddButton);
  Click(kRecordButton);
  Xdotool("key --delay 120 a eacute m");
  std::this_thread::sleep_for(300ms);
  Click(kRecordButton);  // stop
  Click(kSaveButton);
  std::optional<Macro> macro;
  ASSERT_TRUE(WaitUntil([&] { return (macro = SavedMacro(u"fr")).has_value() && macro->eventCount == 6; }, 20s))
      << "no macro \"fr\" of six events was saved";
  const std::uint8_t codes[] = {0x14, 0x14, 0x1F, 0x1F, 0x33, 0x33};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(macro->events[i].code, codes[i]) << i;

  const std::size_t before = test_.SimLog().size();
  test_.SimCommand("press " + std::to_string(kMacroButton));
  test_.SimCommand("release " + std::to_string(kMacroButton));
  std::vector<int> played;
  ASSERT_TRUE(WaitUntil([&] { return (played = PlayedKeys(before)).size() >= 6; }, 20s)) << "the macro was not played";
  EXPECT_EQ(std::vector<int>(played.begin(), played.begin() + 6), (std::vector<int>{0x14, 0, 0x1F, 0, 0x33, 0}));
}

// Leaving the advanced page while recording ends the recording as Stop
// does: the keys typed before are kept, later keys reach the desktop, and
// another program can take the keyboard.
TEST_F(MacroEditorE2eTest, LeavingThePageWhileRecordingGivesTheKeyboardBack) {
  Click(kAdvancedTab);
  Click(kNameEdit);
  Xdotool("type --delay 50 away");
  Click(kAddButton);
  Click(kRecordButton);
  EXPECT_FALSE(x_->KeyboardGrabbable()) << "the recording holds the keyboard";
  Xdotool("key --delay 120 b");
  std::this_thread::sleep_for(300ms);
  Click(kMainTab);
  EXPECT_TRUE(WaitUntil([&] { return x_->KeyboardGrabbable(); }, 10s)) << "the keyboard stayed grabbed";
  Click(kAdvancedTab);
  Click(kSaveButton);
  std::optional<Macro> macro;
  ASSERT_TRUE(WaitUntil([&] { return (macro = SavedMacro(u"away")).has_value() && macro->eventCount == 2; }, 20s))
      << "the recording was not ended as Stop ends it";
  EXPECT_EQ(macro->events[0].code, 5);
  EXPECT_EQ(macro->events[1].code, 5);
}

}  // namespace
}  // namespace tolvar::testing
