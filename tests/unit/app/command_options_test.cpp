#include "app/command_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvar {
namespace {

TEST(CommandOptionsTest, OnlyAFirstArgumentThatIsExactlyAnOptionCounts) {
  const struct {
    std::vector<const char*> argv;
    CommandOption option;
  } cases[] = {
      {{"tolvar"}, CommandOption::Run},
      {{"tolvar", "--help"}, CommandOption::Help},
      {{"tolvar", "--version"}, CommandOption::Version},
      {{"tolvar", "--diagnose"}, CommandOption::Diagnose},
      {{"tolvar", "--diagnose", "-HIDE"}, CommandOption::Diagnose},
      {{"tolvar", "-HIDE"}, CommandOption::Run},
      {{"tolvar", "--HIDE"}, CommandOption::Run},  // the HIDE rule decides, not an option
      {{"tolvar", "-HIDE", "--help"}, CommandOption::Run},
      {{"tolvar", "--Help"}, CommandOption::Run},
      {{"tolvar", "--diagnosis"}, CommandOption::Run},
      {{"tolvar", "-h"}, CommandOption::Run},
      {{"tolvar", "--tray"}, CommandOption::Tray},
      {{"tolvar", "-HIDE", "--tray"}, CommandOption::Run},
      {{"tolvar", "--profile", "3"}, CommandOption::Profile},
      {{"tolvar", "--profile"}, CommandOption::Profile},  // the number is checked apart
      {{"tolvar", "--apply"}, CommandOption::Apply},
      {{"tolvar", "--Apply"}, CommandOption::Run},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommandOptionOf(static_cast<int>(c.argv.size()), c.argv.data()), c.option)
        << (c.argv.size() > 1 ? c.argv[1] : "(none)");
  }
}

TEST(CommandOptionsTest, TheProfileNumberIsAWholeNumberFromOneToFive) {
  const struct {
    std::vector<const char*> argv;
    int profile;
  } cases[] = {
      {{"tolvar", "--profile", "1"}, 1},  {{"tolvar", "--profile", "5"}, 5},
      {{"tolvar", "--profile", "0"}, 0},  {{"tolvar", "--profile", "6"}, 0},
      {{"tolvar", "--profile", "-3"}, 0}, {{"tolvar", "--profile", "3x"}, 0},
      {{"tolvar", "--profile", ""}, 0},   {{"tolvar", "--profile", " 3"}, 0},
      {{"tolvar", "--profile"}, 0},       {{"tolvar", "--profile", "99999999999"}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileArgumentOf(static_cast<int>(c.argv.size()), c.argv.data()), c.profile)
        << (c.argv.size() > 2 ? c.argv[2] : "(none)");
  }
}

TEST(CommandOptionsTest, HelpNamesEveryOptionAndTheDiagnosisStatuses) {
  const std::string help = HelpText("tolvar");
  for (const char* part :
       {"-HIDE", "--help", "--version", "--diagnose", "  0  the mouse is usable", "  1  the mouse is not connected",
        "  2  the mouse is connected but", "--tray", "--profile N", "--apply", "  1  the program is not running",
        "  2  the profile is not a number from 1 to 5"}) {
    EXPECT_NE(help.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(VersionText("1.0"), "tolvar 1.0\n");
}

}  // namespace
}  // namespace tolvar
