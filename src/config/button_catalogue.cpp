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

struct CatalogueRow {
  std::int32_t first, last;  // code range
  Offer offered;
  std::uint8_t mouseByteOfFirst;
  bool mouseByteFollowsCode;  // the byte steps with the code through the range
  bool hostHandled;
  HostAction action;          // index = code − first
  LabelKind label;            // FunctionLabel: entry = code; UserMacroName: slot = code − first
};

constexpr Offer kNotOffered{0, 0};

constexpr std::array<CatalogueRow, 15> kCatalogue{{
    {0, 0, kNotOffered, 0, false, false, HostAction::None, LabelKind::None},
    {1, 5, {1, 0}, 1, true, false, HostAction::None, LabelKind::FunctionLabel},
    {6, 6, {6, 0}, 6, false, true, HostAction::None, LabelKind::FunctionLabel},
    {7, 10, kNotOffered, 0, false, false, HostAction::None, LabelKind::FunctionLabel},
    {11, 14, {7, 1}, 7, true, false, HostAction::None, LabelKind::FunctionLabel},
    {15, 15, {7, 5}, 11, false, true, HostAction::None, LabelKind::FunctionLabel},
    {16, 16, {7, 6}, 12, false, true, HostAction::None, LabelKind::FunctionLabel},
    {17, 17, kNotOffered, 13, false, false, HostAction::None, LabelKind::FunctionLabel},
    {18, 20, kNotOffered, 0, false, false, HostAction::None, LabelKind::FunctionLabel},
    {21, 30, {8, 1}, 0, false, false, HostAction::ConsumerKey, LabelKind::FunctionLabel},
    {31, 38, {10, 1}, 0, false, false, HostAction::PlayFixedMacro, LabelKind::FunctionLabel},
    {39, 39, kNotOffered, 0, false, false, HostAction::StartCalculator, LabelKind::FunctionLabel},
    {40, 40, kNotOffered, 0, false, false, HostAction::StartTerminal, LabelKind::FunctionLabel},
    {41, 52, {9, 1}, 0, false, false, HostAction::PlayUserMacro, LabelKind::UserMacroName},
    // No function of their own; the skin still names them.
    {53, 54, kNotOffered, 0, false, false, HostAction::None, LabelKind::FunctionLabel},
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
  const std::int32_t step = row->mouseByteFollowsCode ? code - row->first : 0;
  return static_cast<std::uint8_t>(row->mouseByteOfFirst + step);
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
