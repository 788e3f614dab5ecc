// The keyboard grab against a real X server (Xvfb), typed into with xdotool:
// the order of presses and releases, left and right modifiers, a second
// grabber refused while the first holds the keyboard, and the keyboard
// given back on Stop.
#include "platform/qt/x11_key_capture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/child_process.h"
#include "support/program_under_test.h"

namespace tolvar {
namespace {

using testing::ChildProcess;
using testing::ProgramUnderTest;

class X11KeyCaptureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "x11_key_capture";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QCoreApplication>(argc, argv);
  }
  static void TearDownTestSuite() { application_.reset(); }

  void Xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), testing::FindOnPath("xdotool"));
    ChildProcess tool(arguments, {{"DISPLAY", display.Display()}});
    ASSERT_EQ(tool.WaitForExit(std::chrono::seconds(20)), 0);
  }
  // Runs the event loop until `count` keys arrived (or a generous while passed).
  bool WaitForKeys(std::size_t count) {
    return testing::WaitUntil(
        [&] {
          QCoreApplication::processEvents();
          return keys.size() >= count;
        },
        std::chrono::seconds(20));
  }

  ProgramUnderTest display;  // only its virtual display is used
  std::vector<KeyEvent> keys;
  static inline std::unique_ptr<QCoreApplication> application_;
};

TEST_F(X11KeyCaptureTest, DeliversPressesAndReleasesInOrder) {
  X11KeyCapture capture;
  ASSERT_EQ(CaptureStart::Taken, capture.Start([&](KeyEvent key) { keys.push_back(key); }));
  Xdotool({"keydown", "a", "keydown", "Alt_L", "keyup", "a", "keyup", "Alt_L", "key", "F5", "key", "Tab"});
  ASSERT_TRUE(WaitForKeys(8));
  const std::vector<KeyEvent> expected{{true, 'A'}, {true, 164},  {false, 'A'}, {false, 164},
                                       {true, 116}, {false, 116}, {true, 9},    {false, 9}};
  EXPECT_EQ(keys, expected);
  capture.Stop();
}

// xdotool presses a right-hand modifier together with its left-hand one;
// each still arrives with its own code.
TEST_F(X11KeyCaptureTest, LeftAndRightModifiersKeepTheirCodes) {
  X11KeyCapture capture;
  ASSERT_EQ(CaptureStart::Taken, capture.Start([&](KeyEvent key) { keys.push_back(key); }));
  Xdotool({"key", "Shift_R", "key", "Control_R", "key", "Shift_L", "key", "Control_L", "key", "Alt_R"});
  ASSERT_TRUE(WaitForKeys(10));
  for (const int vk : {160, 161, 162, 163}) {
    EXPECT_NE(std::find(keys.begin(), keys.end(), KeyEvent{true, vk}), keys.end()) << vk;
    EXPECT_NE(std::find(keys.begin(), keys.end(), KeyEvent{false, vk}), keys.end()) << vk;
  }
  capture.Stop();
}

TEST_F(X11KeyCaptureTest, ASecondGrabIsRefusedUntilTheFirstStops) {
  X11KeyCapture first;
  X11KeyCapture second;
  ASSERT_EQ(CaptureStart::Taken, first.Start([&](KeyEvent key) { keys.push_back(key); }));
  EXPECT_EQ(second.Start([](KeyEvent) {}), CaptureStart::KeyboardBusy) << "the keyboard is held";
  first.Stop();
  std::vector<KeyEvent> secondKeys;
  ASSERT_EQ(CaptureStart::Taken, second.Start([&](KeyEvent key) { secondKeys.push_back(key); }));
  Xdotool({"key", "b"});
  ASSERT_TRUE(testing::WaitUntil(
      [&] {
        QCoreApplication::processEvents();
        return secondKeys.size() >= 2;
      },
      std::chrono::seconds(20)));
  EXPECT_TRUE(keys.empty()) << "a stopped capture delivers nothing";
  second.Stop();
}

// Keys are taken by position: whatever symbol a layout puts on a key, the
// key records as the one at that place on the US layout. Each case types
// what the layout prints on the key (or the key's X key code) and expects
// the US key's code among the presses.
struct LayoutCase {
  const char* layout;
  const char* variant;                            // empty: the layout's default
  std::vector<std::pair<std::string, int>> keys;  // typed, expected virtual-key code
};

const LayoutCase kLayouts[] = {
    {"us", "", {{"a", 'A'}, {"q", 'Q'}, {"1", '1'}, {"minus", 189}, {"apostrophe", 222}}},
    {"fr",
     "",
     {{"a", 'Q'},
      {"q", 'A'},
      {"z", 'W'},
      {"w", 'Z'},
      {"m", 186},
      {"comma", 'M'},
      {"ampersand", '1'},
      {"eacute", '2'},
      {"quotedbl", '3'},
      {"apostrophe", '4'},
      {"parenleft", '5'},
      {"minus", '6'},
      {"egrave", '7'},
      {"underscore", '8'},
      {"ccedilla", '9'},
      {"agrave", '0'}}},
    {"de",
     "",
     {{"y", 'Z'},
      {"z", 'Y'},
      {"ssharp", 189},
      {"dead_acute", 187},
      {"udiaeresis", 219},
      {"plus", 221},
      {"odiaeresis", 186},
      {"adiaeresis", 222},
      {"49", 192},  // the key left of 1, dead_circumflex (also on the adiaeresis key)

      {"numbersign", 220}}},
    // Right Alt is the Hangul key and Right Ctrl the Hanja key there; they
    // are typed by key code, as their symbols also sit on keys of their own.
    {"kr", "kr104", {{"108", 165}, {"105", 163}, {"a", 'A'}}},
};

class KeyboardLayouts : public X11KeyCaptureTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(KeyboardLayouts, KeysRecordByTheirPositionOnTheUsLayout) {
  const LayoutCase& layout = GetParam();
  std::vector<std::string> setxkbmap{testing::FindOnPath("setxkbmap"), "-display", display.Display(), layout.layout};
  if (*layout.variant != '\0') setxkbmap.insert(setxkbmap.end(), {"-variant", layout.variant});
  ChildProcess setLayout(setxkbmap, {});
  ASSERT_EQ(setLayout.WaitForExit(std::chrono::seconds(20)), 0);

  X11KeyCapture capture;
  ASSERT_EQ(CaptureStart::Taken, capture.Start([&](KeyEvent key) { keys.push_back(key); }));
  for (const auto& [typed, expected] : layout.keys) {
    keys.clear();
    // An F1 after the key marks the end of what the key delivered.
    Xdotool({"key", typed, "key", "F1"});
    ASSERT_TRUE(testing::WaitUntil(
        [&] {
          QCoreApplication::processEvents();
          return std::find(keys.begin(), keys.end(), KeyEvent{false, 112}) != keys.end();
        },
        std::chrono::seconds(20)))
        << typed;
    std::vector<int> presses;
    for (const KeyEvent& key : keys) {
      if (key.press && key.virtualKey != 112) presses.push_back(key.virtualKey);
    }
    EXPECT_NE(std::find(presses.begin(), presses.end(), expected), presses.end())
        << layout.layout << " " << typed << " gave " << ::testing::PrintToString(presses);
  }
  capture.Stop();
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeyboardLayouts, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.layout); });

// The number pad follows Num Lock: its navigation keys (5: CLEAR) while it
// is off, digits while it is on.
TEST_F(X11KeyCaptureTest, TheNumberPadFollowsNumLock) {
  X11KeyCapture capture;
  ASSERT_EQ(CaptureStart::Taken, capture.Start([&](KeyEvent key) { keys.push_back(key); }));
  // Key codes 79, 84, 90: the pad's 7, 5 and 0.
  Xdotool({"key", "79", "key", "84", "key", "90", "key", "Num_Lock", "key", "79", "key", "84", "key", "90", "key",
           "Num_Lock"});
  ASSERT_TRUE(WaitForKeys(16));
  std::vector<int> presses;
  for (const KeyEvent& key : keys) {
    if (key.press) presses.push_back(key.virtualKey);
  }
  EXPECT_EQ(presses, (std::vector<int>{36, 12, 45, 144, 103, 101, 96, 144}));
  capture.Stop();
}

TEST(VirtualKeyOfKeycode, IsTheKernelKeyCodeMovedUpByEight) {
  EXPECT_EQ(VirtualKeyOfKeycode(38, false), 'A');   // kernel 30
  EXPECT_EQ(VirtualKeyOfKeycode(9, false), 27);     // kernel 1: Escape
  EXPECT_EQ(VirtualKeyOfKeycode(108, false), 165);  // kernel 100: right Alt
  EXPECT_EQ(VirtualKeyOfKeycode(7, false), 0);
  EXPECT_EQ(VirtualKeyOfKeycode(0, false), 0);
}

}  // namespace
}  // namespace tolvar
