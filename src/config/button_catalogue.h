// The button-function catalogue: every ButtonFunction code with what the
// mouse is told for it, what the program does when the mouse reports it,
// where the popups offer it and which label it shows. Everything below is
// derived from the one table in button_catalogue.cpp.
//
// Codes outside the table (negative codes, codes above 54) have mouse byte 0,
// are not host-handled, have no host action, are offered nowhere and show
// an empty label.
#pragma once

#include <cstdint>
#include <vector>

#include "config/profile_settings.h"

namespace tolvar {

constexpr std::int32_t kPrimaryClickCode = 1;
constexpr int kMainPopupItems = 10;  // items 1..6 choose a code, 7..10 open a group

// The function byte sent for a code in the button-assignment report (0x10).
std::uint8_t DeviceFunctionCode(std::int32_t code);

// True for the codes with which the mouse changes its DPI level itself and
// reports the new level (6, 15, 16).
bool IsHostHandled(std::int32_t code);

enum class HostAction { None, ConsumerKey, PlayFixedMacro, StartCalculator, StartTerminal, PlayUserMacro };

// index: the ConsumerUsage index, the fixed macro slot or the user macro
// slot of the action; 0 when the action takes none.
struct HostActionTarget {
  HostAction action;
  int index;
  friend bool operator==(const HostActionTarget&, const HostActionTarget&) = default;
};

HostActionTarget HostActionFor(std::int32_t code);

// Where a code's label comes from: FunctionLabels entry `index`, or the
// name of user macro slot `index`; None shows an empty label.
enum class LabelKind { None, FunctionLabel, UserMacroName };
struct LabelSource {
  LabelKind kind;
  int index;
  friend bool operator==(const LabelSource&, const LabelSource&) = default;
};

LabelSource LabelSourceFor(std::int32_t code);

// The code chosen directly by main popup item 1..6; 0 for the group items
// 7..10 and for any other item.
std::int32_t MainPopupItemCode(int item);

// The codes of the secondary popup opened by main item 7..10, entry 1
// first. The user-macro group offers one entry per macro in use
// (userMacroCount, at most the 12 user macros); other items give no entries.
std::vector<std::int32_t> PopupGroupCodes(int mainItem, int userMacroCount);

// The primary-click rule: true when none of the buttons other than `button`
// carries code 1, so taking it from `button` needs the warning first.
bool NoOtherButtonHasPrimaryClick(const ProfileSettings& settings, int button);

// Gives logical button 0..5 the code. When no button keeps code 1 after
// that, the next button (button + 1) receives it; for button 5 the choice
// is undone and K5 stays 1. Other button numbers change nothing.
void AssignButtonFunction(ProfileSettings& settings, int button, std::int32_t code);

}  // namespace tolvar
