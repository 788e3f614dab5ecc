// The rules file applications.ini: which profile each application gets when
// its window comes to the front, the profile for every other application,
// and whether changes are announced on screen.
//
//   [Applications]
//   <application id>=<profile 1..5>
//   [Options]
//   Otherwise=<profile 1..5, or 0: stay on the profile in use>
//   Notifications=<0: no notices; anything else: notices>
//
// Lines the program does not understand are kept as they are when it writes
// the file again, so nothing a user typed is lost.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

inline constexpr std::string_view kApplicationRulesFileName = "applications.ini";
constexpr int kFirstProfile = 1;
constexpr int kLastProfile = 5;

struct ApplicationRule {
  std::string id;  // as the user wrote it; matched without regard to case
  int profile = kFirstProfile;
  friend bool operator==(const ApplicationRule&, const ApplicationRule&) = default;
};

struct ApplicationRules {
  std::vector<ApplicationRule> rules = {};  // in file order; the first of equal ids counts
  int otherwise = 0;                        // 0: stay on the profile in use
  bool notifications = true;
  // Lines of each section that are not a valid rule or option, kept verbatim.
  std::vector<std::string> unknownApplicationLines = {};
  std::vector<std::string> unknownOptionLines = {};
  std::vector<std::string> leadingLines = {};       // before the first section
  std::vector<std::string> otherSectionLines = {};  // other sections, their headers included
  friend bool operator==(const ApplicationRules&, const ApplicationRules&) = default;
};

// What is known of the window in front. Empty fields are unknown.
struct WindowIdentity {
  std::string wmClass;      // X11 WM_CLASS class
  std::string wmInstance;   // X11 WM_CLASS instance name
  std::string programFile;  // file name of the window's program (/proc/PID/exe), no folder
  std::string appId;        // the application id a Wayland compositor reports
  friend bool operator==(const WindowIdentity&, const WindowIdentity&) = default;
};

bool IsProfileNumber(int value);
// Whether `id` can be written as a key: not empty after trimming, no '=',
// no line break, and no leading '[' or ';' or '#'.
bool IsValidApplicationId(std::string_view id);

ApplicationRules ParseApplicationRules(std::string_view text);
std::string ApplicationRulesText(const ApplicationRules& rules);

// The profile of the first rule whose id equals, without regard to ASCII
// case, the class, then the instance name, then the program file name, then
// the application id (a trailing ".desktop" of a Wayland id dropped). 0 when
// no rule matches.
int RuleProfileFor(const ApplicationRules& rules, const WindowIdentity& window);

// The profile the window in front asks for: its rule's, else Otherwise;
// 0 means stay on the profile in use.
int WantedProfileFor(const ApplicationRules& rules, const WindowIdentity& window);

// The name shown for a window in lists: the id a rule would most likely use.
std::string PreferredIdOf(const WindowIdentity& window);

}  // namespace tolvar
