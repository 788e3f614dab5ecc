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
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommandOptionOf(static_cast<int>(c.argv.size()), c.argv.data()), c.option)
        << (c.argv.size() > 1 ? c.argv[1] : "(none)");
  }
}

TEST(CommandOptionsTest, HelpNamesEveryOptionAndTheDiagnosisStatuses) {
  const std::string help = HelpText("tolvar");
  for (const char* part : {"-HIDE", "--help", "--version", "--diagnose", "  0  the mouse is usable",
                           "  1  the mouse is not connected", "  2  the mouse is connected but"}) {
    EXPECT_NE(help.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(VersionText("1.0"), "tolvar 1.0\n");
}

}  // namespace
}  // namespace tolvar
