#include "app/display_platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvar {
namespace {

TEST(DisplayPlatform, X11WheneverThereIsAnXDisplayUnlessTheUserChose) {
  struct Case {
    const char* userPlatform;
    bool argument;
    const char* display;
    const char* platform;
    const char* said;  // part of the description
  };
  const Case cases[] = {
      {"", false, ":0", "xcb", "chosen by the program"},  // X11, or Wayland with XWayland
      {"wayland", false, ":0", "", "wayland, as chosen by the user (QT_QPA_PLATFORM)"},
      {"offscreen", false, "", "", "chosen by the user (QT_QPA_PLATFORM)"},
      {"", true, ":0", "", "chosen by the user (-platform)"},
      {"", false, "", "", "there is no X display"},
  };
  for (const Case& c : cases) {
    const PlatformChoice choice = ChoosePlatform(c.userPlatform, c.argument, c.display);
    EXPECT_EQ(choice.platform, c.platform) << c.userPlatform << " " << c.argument << " " << c.display;
    EXPECT_NE(choice.description.find(c.said), std::string::npos) << choice.description;
  }
}

TEST(DisplayPlatform, FindsTheToolkitsPlatformOptionInEitherSpelling) {
  const std::vector<std::vector<const char*>> with{
      {"tolvar", "-platform", "wayland"}, {"tolvar", "--platform", "xcb"}, {"tolvar", "/HIDE", "-platform=xcb"}};
  for (const auto& argv : with) EXPECT_TRUE(HasPlatformArgument(static_cast<int>(argv.size()), argv.data()));
  const std::vector<std::vector<const char*>> without{{"tolvar"}, {"tolvar", "/HIDE"}, {"-platform"}};
  for (const auto& argv : without) EXPECT_FALSE(HasPlatformArgument(static_cast<int>(argv.size()), argv.data()));
}

}  // namespace
}  // namespace tolvar
