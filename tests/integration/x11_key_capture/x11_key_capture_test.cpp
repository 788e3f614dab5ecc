// The keyboard grab against a real X server (Xvfb), typed into with xdotool:
// the order of presses and releases, left and right modifiers, a second
// grabber refused while the first holds the keyboard, and the keyboard
// given back on Stop.
#include "platform/qt/x11_key_capture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <memory>
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
  std::vector<CapturedKey> keys;
  static inline std::unique_ptr<QCoreApplication> application_;
};

TEST_F(X11KeyCaptureTest, DeliversPressesAndReleasesInOrder) {
  X11KeyCapture capture;
  ASSERT_TRUE(capture.Start([&](CapturedKey key) { keys.push_back(key); }));
  Xdotool({"keydown", "a", "keydown", "Alt_L", "keyup", "a", "keyup", "Alt_L", "key", "F5", "key", "Tab"});
  ASSERT_TRUE(WaitForKeys(8));
  const std::vector<CapturedKey> expected{{true, 'A'}, {true, 164},  {false, 'A'}, {false, 164},
                                          {true, 116}, {false, 116}, {true, 9},    {false, 9}};
  EXPECT_EQ(keys, expected);
  capture.Stop();
}

// xdotool presses a right-hand modifier together with its left-hand one;
// each still arrives with its own code.
TEST_F(X11KeyCaptureTest, LeftAndRightModifiersKeepTheirCodes) {
  X11KeyCapture capture;
  ASSERT_TRUE(capture.Start([&](CapturedKey key) { keys.push_back(key); }));
  Xdotool({"key", "Shift_R", "key", "Control_R", "key", "Shift_L", "key", "Control_L", "key", "Alt_R"});
  ASSERT_TRUE(WaitForKeys(10));
  for (const int vk : {160, 161, 162, 163}) {
    EXPECT_NE(std::find(keys.begin(), keys.end(), CapturedKey{true, vk}), keys.end()) << vk;
    EXPECT_NE(std::find(keys.begin(), keys.end(), CapturedKey{false, vk}), keys.end()) << vk;
  }
  capture.Stop();
}

TEST_F(X11KeyCaptureTest, ASecondGrabIsRefusedUntilTheFirstStops) {
  X11KeyCapture first;
  X11KeyCapture second;
  ASSERT_TRUE(first.Start([&](CapturedKey key) { keys.push_back(key); }));
  EXPECT_FALSE(second.Start([](CapturedKey) {})) << "the keyboard is held";
  first.Stop();
  std::vector<CapturedKey> secondKeys;
  ASSERT_TRUE(second.Start([&](CapturedKey key) { secondKeys.push_back(key); }));
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

TEST(VirtualKeyOfKeysym, TableSamples) {
  EXPECT_EQ(VirtualKeyOfKeysym(0x61), 'A');     // a
  EXPECT_EQ(VirtualKeyOfKeysym(0x7a), 'Z');     // z
  EXPECT_EQ(VirtualKeyOfKeysym(0x30), '0');     // 0
  EXPECT_EQ(VirtualKeyOfKeysym(0xffbe), 112);   // F1
  EXPECT_EQ(VirtualKeyOfKeysym(0xffe9), 164);   // Alt_L
  EXPECT_EQ(VirtualKeyOfKeysym(0xffea), 165);   // Alt_R
  EXPECT_EQ(VirtualKeyOfKeysym(0xffe3), 162);   // Control_L
  EXPECT_EQ(VirtualKeyOfKeysym(0xffeb), 91);    // Super_L
  EXPECT_EQ(VirtualKeyOfKeysym(0x1008ff13), 0)  // a volume key has no code
      << "no code";
}

}  // namespace
}  // namespace tolvar
