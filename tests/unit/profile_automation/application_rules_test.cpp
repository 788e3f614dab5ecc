#include "config/application_rules.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(ApplicationRulesFile, ReadsRulesAndOptionsAndSetsAsideWhatItDoesNotUnderstand) {
  const ApplicationRules rules = ParseApplicationRules(
      "; my rules\r\n"
      "[applications]\r\n"
      "  Firefox = 2 \r\n"
      "steam=5\n"
      "steam=1\n"    // a second rule for the same id: the first counts
      "blender=6\n"  // no such profile
      "gimp=\n"      // no profile
      "=3\n"         // no id
      "krita=3x\n"   // not a whole number
      "just text\n"
      "\n"
      "[Options]\n"
      "otherwise = 4\n"
      "Notifications=0\n"
      "Colour=blue\n"
      "[Mine]\n"
      "a=b\n");
  EXPECT_EQ(rules.rules, (std::vector<ApplicationRule>{{"Firefox", 2}, {"steam", 5}, {"steam", 1}}));
  EXPECT_EQ(rules.otherwise, 4);
  EXPECT_FALSE(rules.notifications);
  EXPECT_EQ(rules.leadingLines, (std::vector<std::string>{"; my rules"}));
  EXPECT_EQ(rules.unknownApplicationLines,
            (std::vector<std::string>{"blender=6", "gimp=", "=3", "krita=3x", "just text"}));
  EXPECT_EQ(rules.unknownOptionLines, (std::vector<std::string>{"Colour=blue"}));
  EXPECT_EQ(rules.otherSectionLines, (std::vector<std::string>{"[Mine]", "a=b"}));
}

TEST(ApplicationRulesFile, OptionsOutsideTheirRangesKeepTheirDefaults) {
  const struct {
    const char* text;
    int otherwise;
    bool notifications;
  } cases[] = {
      {"", 0, true},
      {"[Options]\nOtherwise=0\n", 0, true},
      {"[Options]\nOtherwise=5\n", 5, true},
      {"[Options]\nOtherwise=6\n", 0, true},
      {"[Options]\nOtherwise=-1\n", 0, true},
      {"[Options]\nNotifications=1\n", 0, true},
      {"[Options]\nNotifications=no\n", 0, true},
      {"[Options]\nNotifications=0\n", 0, false},
      {"Otherwise=3\n", 0, true},  // outside its section
  };
  for (const auto& c : cases) {
    const ApplicationRules rules = ParseApplicationRules(c.text);
    EXPECT_EQ(rules.otherwise, c.otherwise) << c.text;
    EXPECT_EQ(rules.notifications, c.notifications) << c.text;
  }
}

TEST(ApplicationRulesFile, WritingAndReadingAgainKeepsEverything) {
  const std::string text =
      "# kept\n[Applications]\nFirefox=2\nblender=6\n[Options]\nOtherwise=1\nNotifications=0\nx=y\n[Mine]\na=b\n";
  const ApplicationRules read = ParseApplicationRules(text);
  const std::string written = ApplicationRulesText(read);
  EXPECT_EQ(ParseApplicationRules(written), read);
  EXPECT_EQ(ApplicationRulesText(ParseApplicationRules(written)), written) << "a second write changes nothing";
  EXPECT_EQ(written,
            "# kept\n[Applications]\nFirefox=2\nblender=6\n\n[Options]\nOtherwise=1\nNotifications=0\nx=y\n\n"
            "[Mine]\na=b\n");
}

TEST(ApplicationRulesFile, OnlyIdsThatReadBackAsTheSameKeyAreValid) {
  for (const char* id : {"firefox", "org.gnome.Terminal", "Steam App 42", "a-b_c"}) {
    EXPECT_TRUE(IsValidApplicationId(id)) << id;
    const ApplicationRules rules{.rules = {{id, 3}}};
    EXPECT_EQ(ParseApplicationRules(ApplicationRulesText(rules)).rules, rules.rules) << id;
  }
  for (const char* id : {"", " ", " firefox", "firefox ", "a=b", "[x]", ";x", "#x", "a\nb", "a\rb"}) {
    EXPECT_FALSE(IsValidApplicationId(id)) << id;
  }
}

TEST(ApplicationRulesMatching, ClassThenInstanceThenProgramThenApplicationId) {
  const ApplicationRules rules{.rules = {{"navigator", 4}, {"FIREFOX", 2}, {"firefox-esr", 3}, {"org.kde.konsole", 5}},
                               .otherwise = 1};
  const struct {
    WindowIdentity window;
    int rule;
    int wanted;
  } cases[] = {
      {{"Firefox", "Navigator", "firefox-esr", ""}, 2, 2},  // the class wins over a rule listed before it
      {{"Other", "Navigator", "firefox-esr", ""}, 4, 4},    // then the instance name
      {{"Other", "other", "firefox-esr", ""}, 3, 3},        // then the program file
      {{"", "", "", "org.kde.konsole"}, 5, 5},              // the Wayland id
      {{"", "", "", "org.kde.Konsole.desktop"}, 5, 5},      // its desktop-file form
      {{"", "", "", ".desktop"}, 0, 1},
      {{"Other", "other", "other", "other"}, 0, 1},  // Otherwise
      {{}, 0, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RuleProfileFor(rules, c.window), c.rule) << c.window.wmClass << "/" << c.window.appId;
    EXPECT_EQ(WantedProfileFor(rules, c.window), c.wanted) << c.window.wmClass << "/" << c.window.appId;
  }
  EXPECT_EQ(WantedProfileFor(ApplicationRules{}, {"Other", "", "", ""}), 0) << "Otherwise 0 stays";
}

}  // namespace
}  // namespace tolvar
