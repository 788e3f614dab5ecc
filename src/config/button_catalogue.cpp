#include "config/button_catalogue.h"

#include <algorithm>
#include <array>

#include "macros/macro.h"

namespace tolvar {

namespace {

// mainItem 0: not offered. Items 1..6 of the main popup offer a code
// directly (entry 0); items 7..10 open a secondary popup whose entry j
// gives the code.
struct Offer {
  int mainItem;
  int entryOfFirst;
};

// A row names only what differs from the defaults: not offered, mouse
// byte 0, not host-handled, no host action, the FunctionLabels entry.
struct CatalogueRow {
  std::int32_t first = 0, last = 0;  // code range
  Offer offered{0, 0};
  std::uint8_t mouseByte = 0;           // the byte sent for `first`
  bool mouseByteStepsWithCode = false;  // the byte steps with the code through the range
  bool hostHandled = false;
  HostAction action = HostAction::None;        // index = code − first
  LabelKind label = LabelKind::FunctionLabel;  // FunctionLabel: entry = code; UserMacroName: slot = code − first
};

constexpr std::array<CatalogueRow, 15> kCatalogue{{
    {.first = 0, .last = 0, .label = LabelKind::None},
    {.first = 1, .last = 5, .offered = {1, 0}, .mouseByte = 1, .mouseByteStepsWithCode = true},
    {.first = 6, .last = 6, .offered = {6, 0}, .mouseByte = 6, .hostHandled = true},
    {.first = 7, .last = 10},
    {.first = 11, .last = 14, .offered = {7, 1}, .mouseByte = 7, .mouseByteStepsWithCode = true},
    {.first = 15, .last = 15, .offered = {7, 5}, .mouseByte = 11, .hostHandled = true},
    {.first = 16, .last = 16, .offered = {7, 6}, .mouseByte = 12, .hostHandled = true},
    {.first = 17, .last = 17, .mouseByte = 13},
    {.first = 18, .last = 20},
    {.first = 21, .last = 30, .offered = {8, 1}, .action = HostAction::ConsumerKey},
    {.first = 31, .last = 38, .offered = {10, 1}, .action = HostAction::PlayFixedMacro},
    {.first = 39, .last = 39, .action = HostAction::StartCalculator},
    {.first = 40, .last = 40, .action = HostAction::StartTerminal},
    {.first = 41,
     .last = 52,
     .offered = {9, 1},
     .action = HostAction::PlayUserMacro,
     .label = LabelKind::UserMacroName},
    // No function of their own; the skin still names them.
    {.first = 53, .last = 54},
}};

const CatalogueRow* RowFor(std::int32_t code) {
  const auto it = std::find_if(kCatalogue.begin(), kCatalogue.end(),
                               [code](const CatalogueRow& row) { return code >= row.first && code <= row.last; });
  return it == kCatalogue.end() ? nullptr : &*it;
}

}  // namespace

std::uint8_t DeviceFunctionCode(std::int32_t code) {
  const CatalogueRow* row = RowFor(code);
  if (row == nullptr) return 0;
  const std::int32_t step = row->mouseByteStepsWithCode ? code - row->first : 0;
  return static_cast<std::uint8_t>(row->mouseByte + step);
}

bool IsHostHandled(std::int32_t code) {
  const CatalogueRow* row = RowFor(code);
  return row != nullptr && row->hostHandled;
}

HostActionTarget HostActionFor(std::int32_t code) {
  const CatalogueRow* row = RowFor(code);
  if (row == nullptr || row->action == HostAction::None) return {HostAction::None, 0};
  return {row->action, static_cast<int>(code - row->first)};
}

LabelSource LabelSourceFor(std::int32_t code) {
  const CatalogueRow* row = RowFor(code);
  if (row == nullptr) return {LabelKind::None, 0};
  switch (row->label) {
    case LabelKind::FunctionLabel:
      return {LabelKind::FunctionLabel, static_cast<int>(code)};
    case LabelKind::UserMacroName:
      return {LabelKind::UserMacroName, static_cast<int>(code - row->first)};
    case LabelKind::None:
      break;
  }
  return {LabelKind::None, 0};
}

std::int32_t MainPopupItemCode(int item) {
  for (const CatalogueRow& row : kCatalogue) {
    if (row.offered.mainItem == 0 || row.offered.entryOfFirst != 0) continue;
    const int offset = item - row.offered.mainItem;
    if (offset >= 0 && offset <= row.last - row.first) return row.first + offset;
  }
  return 0;
}

std::vector<std::int32_t> PopupGroupCodes(int mainItem, int userMacroCount) {
  std::vector<std::pair<int, std::int32_t>> entries;  // (entry, code)
  for (const CatalogueRow& row : kCatalogue) {
    if (row.offered.mainItem != mainItem || row.offered.entryOfFirst == 0) continue;
    std::int32_t last = row.last;
    if (row.action == HostAction::PlayUserMacro) {
      last = row.first + std::clamp(userMacroCount, 0, kMaxUserMacros) - 1;
    }
    for (std::int32_t code = row.first; code <= last; ++code) {
      entries.emplace_back(row.offered.entryOfFirst + (code - row.first), code);
    }
  }
  std::sort(entries.begin(), entries.end());
  std::vector<std::int32_t> codes;
  codes.reserve(entries.size());
  for (const auto& entry : entries) codes.push_back(entry.second);
  return codes;
}

bool NoOtherButtonHasPrimaryClick(const ProfileSettings& settings, int button) {
  for (int i = 0; i < kButtonCount; ++i) {
    if (i != button && settings.K[i] == kPrimaryClickCode) return false;
  }
  return true;
}

void AssignButtonFunction(ProfileSettings& settings, int button, std::int32_t code) {
  if (button < 0 || button >= kButtonCount) return;
  settings.K[button] = code;
  const bool someoneClicks = std::any_of(settings.K.begin(), settings.K.end(),
                                         [](const Shared<std::int32_t>& k) { return k == kPrimaryClickCode; });
  if (someoneClicks) return;
  const int heir = button == kButtonCount - 1 ? button : button + 1;
  settings.K[heir] = kPrimaryClickCode;
}

}  // namespace tolvar
