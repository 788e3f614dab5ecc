#include "app/window_controls.h"

#include <algorithm>
#include <span>

#include "app/macro_page.h"
#include "base/text.h"
#include "skin/hot_spots.h"
#include "skin/main_window_painter.h"
#include "skin/pages.h"

namespace tolvar {

namespace {

// The names the skin has no label for, in English and in the other language.
struct BothLanguages {
  const char16_t* english;
  const char16_t* other;
};
constexpr BothLanguages kMinimiseName{u"Minimise", u"최소화"};
constexpr BothLanguages kToTrayName{u"Hide to tray", u"트레이로 숨기기"};
constexpr BothLanguages kGuideName{u"User guide", u"사용 설명서"};
constexpr BothLanguages kLongerFireName{u"Longer rapid-fire time", u"연사 시간 늘리기"};
constexpr BothLanguages kShorterFireName{u"Shorter rapid-fire time", u"연사 시간 줄이기"};
constexpr char16_t kDpiUnit[] = u" DPI";

// How a group's controls are named.
enum class Naming {
  Label,            // the row's own label
  Table,            // `table`
  CaptionAndLabel,  // "<caption row's label>: <row's label>"
  Caption,          // the caption row's label
  Assignment,       // "<button name>: <its function>", the name row `caption` rows below the first
  LevelHeading,     // "<level name>: <heading row's label>"
  DpiCell,          // "1600 DPI", described by the level's name
};

using StateTest = bool (*)(const AppState& state, int index);  // index counts from the rule's first row

struct GroupRule {
  RowRange rows;
  ControlRole role;
  Naming naming;
  int caption = kNone;  // the row naming the group, or the first button-name row
  const BothLanguages* table = nullptr;
  bool oneTabStop = false;
  bool joinsPrevious = false;  // the same group as the rule before it
  StateTest checked = nullptr;
  StateTest unavailable = nullptr;
};

constexpr RowRange One(int row) { return {row, row}; }

bool CurrentTab(const AppState& s, int i) {
  // The tabs' rows name the main, advanced and colour pages, as CurrentPage counts them.
  return i == s.CurrentPage.load();
}
bool CurrentLanguage(const AppState& s, int i) { return (i == 1) == (s.VER_SEL != 0); }
bool CurrentProfile(const AppState& s, int i) { return i + 1 == s.CurConfig.load(); }
bool WheelStatus(const AppState& s, int i) { return i == (s.Settings.WHEEL_STATUS != 0 ? 1 : 0); }
bool LevelInUse(const AppState& s, int i) { return i == s.Settings.DPI_LEVEL.load(); }
bool LevelOff(const AppState& s, int i) { return !s.Settings.DPI_SET_EN[static_cast<std::size_t>(i)]; }
bool LevelOn(const AppState& s, int i) { return s.Settings.DPI_SET_EN[static_cast<std::size_t>(i)]; }
bool Recording(const AppState& s, int) { return s.Recording; }
bool MacroMode(const AppState& s, int i) {
  if (s.SelectedMacro < 0 || s.SelectedMacro >= kMacroTableSlots) return false;
  const std::uint8_t mode = s.UserMacros.slots[static_cast<std::size_t>(s.SelectedMacro)].mode;
  return (mode & (i == 0 ? kRepeatModeBit : kHeldModeBit)) != 0;
}
bool PointerSpeed(const AppState& s, int i) { return i == s.Settings.DPI_SPEED; }
bool WheelLines(const AppState& s, int i) { return i == s.Settings.WHEEL_SPEED; }
bool ReportRate(const AppState& s, int i) { return i == s.Settings.USB_SPEED; }
bool Lighting(const AppState& s, int i) { return i == s.Settings.LED_TYPE.load(); }
bool CycleSpeed(const AppState& s, int i) { return 5 - i == s.Settings.LED_CYC_TIME.load(); }  // row 11 is 5
bool CycleColour(const AppState& s, int i) { return s.Settings.CYC_7COL_EN[static_cast<std::size_t>(i)].load(); }

// The header, on every page: the top line, then the left column.
constexpr GroupRule kHeaderRules[] = {
    {main_row::kTabs, ControlRole::PageTab, Naming::Label, kNone, nullptr, true, false, CurrentTab},
    {RowRange{main_row::kOtherLanguage, main_row::kEnglish}, ControlRole::RadioButton, Naming::Label, kNone, nullptr,
     true, false, CurrentLanguage},
    {One(main_row::kGuide), ControlRole::PushButton, Naming::Table, kNone, &kGuideName},
    {One(main_row::kMinimise), ControlRole::PushButton, Naming::Table, kNone, &kMinimiseName, false, true},
    {One(main_row::kToTray), ControlRole::PushButton, Naming::Table, kNone, &kToTrayName, false, true},
    {main_row::kProfiles, ControlRole::RadioButton, Naming::Label, kNone, nullptr, true, false, CurrentProfile},
    {RowRange{main_row::kImportProfile, main_row::kReset}, ControlRole::PushButton, Naming::Label},
    {One(main_row::kSave), ControlRole::PushButton, Naming::Label},
    {One(main_row::kApply), ControlRole::PushButton, Naming::Label, kNone, nullptr, false, true},
    {One(main_row::kHide), ControlRole::PushButton, Naming::Label, kNone, nullptr, false, true},
};

constexpr RowRange LevelCells(int level) {
  return {main_row::kDpiCells.Row(level * kDpiStepCount),
          main_row::kDpiCells.Row(level * kDpiStepCount) + kDpiStepCount - 1};
}

constexpr GroupRule kMainRules[] = {
    {main_row::kAssignments, ControlRole::PushButton, Naming::Assignment, main_row::kButtonNames.first},
    {main_row::kWheel, ControlRole::RadioButton, Naming::CaptionAndLabel, main_row::kWheelCaption, nullptr, true, false,
     WheelStatus},
    {main_row::kLevelSelectors, ControlRole::RadioButton, Naming::LevelHeading, main_row::kUseHeading, nullptr, true,
     false, LevelInUse, LevelOff},
    {main_row::kLevelEnables, ControlRole::CheckBox, Naming::LevelHeading, main_row::kOnHeading, nullptr, false, false,
     LevelOn},
    {main_row::kLevelColours, ControlRole::PushButton, Naming::LevelHeading, main_row::kColourHeading},
    {LevelCells(0), ControlRole::RadioButton, Naming::DpiCell, kNone, nullptr, true},
    {LevelCells(1), ControlRole::RadioButton, Naming::DpiCell, kNone, nullptr, true},
    {LevelCells(2), ControlRole::RadioButton, Naming::DpiCell, kNone, nullptr, true},
    {LevelCells(3), ControlRole::RadioButton, Naming::DpiCell, kNone, nullptr, true},
    {LevelCells(4), ControlRole::RadioButton, Naming::DpiCell, kNone, nullptr, true},
    {LevelCells(5), ControlRole::RadioButton, Naming::DpiCell, kNone, nullptr, true},
};
static_assert(LevelCells(kDpiLevelCount - 1).last == main_row::kDpiCells.last);

constexpr GroupRule kAdvancedRules[] = {
    {RowRange{advanced_row::kImportMacros, advanced_row::kDeleteMacro}, ControlRole::PushButton, Naming::Label},
    {One(advanced_row::kRecord), ControlRole::CheckBox, Naming::Label, kNone, nullptr, false, false, Recording},
    {One(advanced_row::kSaveMacros), ControlRole::PushButton, Naming::Label, kNone, nullptr, false, true},
    {RowRange{advanced_row::kRepeatMode, advanced_row::kHeldMode}, ControlRole::CheckBox, Naming::Label, kNone, nullptr,
     false, false, MacroMode},
    {advanced_row::kPointerSpeeds, ControlRole::RadioButton, Naming::CaptionAndLabel,
     advanced_row::kPointerSpeedCaption, nullptr, true, false, PointerSpeed},
    {advanced_row::kWheelSpeeds, ControlRole::RadioButton, Naming::CaptionAndLabel, advanced_row::kWheelSpeedCaption,
     nullptr, true, false, WheelLines},
    {One(advanced_row::kFireTimeBar), ControlRole::Slider, Naming::Caption, advanced_row::kFireTimeCaption},
    {One(advanced_row::kLowerFireTime), ControlRole::PushButton, Naming::Table, kNone, &kShorterFireName, false, true},
    {One(advanced_row::kRaiseFireTime), ControlRole::PushButton, Naming::Table, kNone, &kLongerFireName, false, true},
    {advanced_row::kReportRates, ControlRole::RadioButton, Naming::CaptionAndLabel, advanced_row::kReportRateCaption,
     nullptr, true, false, ReportRate},
};

constexpr GroupRule kColourRules[] = {
    {colour_row::kLedTypes, ControlRole::RadioButton, Naming::Label, kNone, nullptr, true, false, Lighting},
    {colour_row::kCycleSpeeds, ControlRole::RadioButton, Naming::CaptionAndLabel, colour_row::kCycleSpeedCaption,
     nullptr, true, false, CycleSpeed},
    {colour_row::kCycleColours, ControlRole::CheckBox, Naming::Label, kNone, nullptr, false, false, CycleColour},
};

class ControlListBuilder {
 public:
  explicit ControlListBuilder(const AppState& state) : state_(state) {}

  template <std::size_t N>
  void Add(HotSpotList list, const SkinPage<N>& page, std::span<const GroupRule> rules, RowRange tested) {
    for (const GroupRule& rule : rules) {
      if (!rule.joinsPrevious) {
        ++group_;
        groupStart_ = controls_.size();
      }
      for (int row = rule.rows.first; row <= rule.rows.last; ++row) {
        const HotSpot& spot = page.Spot(row);
        if (!tested.Contains(row) || spot.width <= 0 || spot.height <= 0) continue;
        const int index = row - rule.rows.first;
        WindowControl control{
            .id = {list, row},
            .role = rule.role,
            .name = Name(page, rule, row),
            .description = rule.naming == Naming::DpiCell ? Label(state_.Skin.Main, LevelNameRow(row)) : u"",
            .group = group_,
            .oneTabStop = rule.oneTabStop,
            .checked = rule.checked != nullptr ? rule.checked(state_, index) : CellChecked(rule, row),
            .unavailable = rule.unavailable != nullptr && rule.unavailable(state_, index),
            .value = std::nullopt,
            .spot = spot,
        };
        if (rule.role == ControlRole::Slider) {
          control.value =
              ControlValue{std::clamp<std::int32_t>(state_.Settings.FIRE_TIME, 0, kFireTimeMax), 0, kFireTimeMax};
        }
        controls_.push_back(std::move(control));
      }
      // Within a group, the reading order is the places' order: top to bottom, left to right.
      std::stable_sort(controls_.begin() + static_cast<std::ptrdiff_t>(groupStart_), controls_.end(),
                       [](const WindowControl& a, const WindowControl& b) {
                         return a.spot.y != b.spot.y ? a.spot.y < b.spot.y : a.spot.x < b.spot.x;
                       });
    }
  }

  std::vector<WindowControl> Take() { return std::move(controls_); }

 private:
  static int LevelNameRow(int cellRow) {
    return main_row::kLevelNames.Row((cellRow - main_row::kDpiCells.first) / kDpiStepCount);
  }

  template <std::size_t N>
  static std::u16string Label(const SkinPage<N>& page, int row) {
    return row >= 0 && row < SkinPage<N>::kRows ? page.labels[static_cast<std::size_t>(row)] : std::u16string();
  }

  bool CellChecked(const GroupRule& rule, int row) const {
    if (rule.naming != Naming::DpiCell) return false;
    const int level = (row - main_row::kDpiCells.first) / kDpiStepCount;
    if (level < 0 || level >= kDpiLevelCount) return false;
    return state_.Settings.SelectedValueHotSpot[static_cast<std::size_t>(level)] == row;
  }

  template <std::size_t N>
  std::u16string Name(const SkinPage<N>& page, const GroupRule& rule, int row) const {
    const int index = row - rule.rows.first;
    switch (rule.naming) {
      case Naming::Label:
        return Label(page, row);
      case Naming::Table:
        return state_.VER_SEL != 0 ? rule.table->english : rule.table->other;
      case Naming::CaptionAndLabel:
        return Label(page, rule.caption) + u": " + Label(page, row);
      case Naming::Caption:
        return Label(page, rule.caption);
      case Naming::Assignment:
        return Label(page, rule.caption + index) + u": " +
               AssignmentLabel(state_.Skin.FunctionLabels, state_.UserMacros,
                               state_.Settings.K[static_cast<std::size_t>(index)].load());
      case Naming::LevelHeading:
        return Label(page, main_row::kLevelNames.Row(index)) + u": " + Label(page, rule.caption);
      case Naming::DpiCell:
        return DecimalText(
                   DpiStepTable[static_cast<std::size_t>((row - main_row::kDpiCells.first) % kDpiStepCount)].dpi) +
               kDpiUnit;
    }
    return {};
  }

  const AppState& state_;
  std::vector<WindowControl> controls_;
  int group_ = -1;
  std::size_t groupStart_ = 0;
};

}  // namespace

std::vector<WindowControl> ControlsOfPage(const AppState& state) {
  ControlListBuilder builder(state);
  builder.Add(HotSpotList::Main, state.Skin.Main, kHeaderRules, main_row::kHeader);
  switch (PageOf(state.CurrentPage)) {
    case PageKind::Main:
      builder.Add(HotSpotList::Main, state.Skin.Main, kMainRules, main_row::kTested);
      break;
    case PageKind::Advanced:
      builder.Add(HotSpotList::Advanced, state.Skin.Advanced, kAdvancedRules, advanced_row::kTested);
      break;
    case PageKind::Colour:
      builder.Add(HotSpotList::Colour, state.Skin.Colour, kColourRules,
                  colour_row::TestedRows(state.Settings.LED_TYPE));
      break;
  }
  return builder.Take();
}

std::vector<WidgetName> MacroEditorWidgetNames(const AppState& state) {
  const auto& labels = state.Skin.Advanced.labels;
  const auto label = [&](int row) { return labels[static_cast<std::size_t>(row)]; };
  return {
      {kNameEditId, label(advanced_row::kMacroNameCaption)},
      {kMacroListId, label(advanced_row::kMacroListCaption)},
      {kEventListId, label(advanced_row::kEventListCaption)},
      {kRepeatEditId, label(advanced_row::kPlaybackCaption) + u" (" + label(advanced_row::kTimesCaption) + u")"},
  };
}

const WindowControl* FindControl(const std::vector<WindowControl>& controls, ControlId id) {
  const auto found = std::find_if(controls.begin(), controls.end(), [&](const WindowControl& c) { return c.id == id; });
  return found != controls.end() ? &*found : nullptr;
}

std::vector<ControlChange> ChangesBetween(const std::vector<WindowControl>& before, const KeyboardFocus& focusBefore,
                                          const std::vector<WindowControl>& after, const KeyboardFocus& focusAfter) {
  std::vector<ControlChange> changes;
  for (const WindowControl& control : after) {
    const WindowControl* old = FindControl(before, control.id);
    if (old == nullptr) {
      changes.push_back({control.id, ChangeKind::Shown});
      continue;
    }
    if (old->name != control.name) changes.push_back({control.id, ChangeKind::Name});
    if (old->checked != control.checked) changes.push_back({control.id, ChangeKind::Checked});
    if (old->unavailable != control.unavailable) changes.push_back({control.id, ChangeKind::Availability});
    if (control.value && old->value != control.value) changes.push_back({control.id, ChangeKind::Value});
  }
  for (const WindowControl& old : before) {
    if (FindControl(after, old.id) == nullptr) changes.push_back({old.id, ChangeKind::Hidden});
  }
  const bool moved = focusAfter.shown && (!focusBefore.shown || !(focusAfter.control == focusBefore.control));
  if (moved && FindControl(after, focusAfter.control) != nullptr) {
    changes.push_back({focusAfter.control, ChangeKind::Focus});
  }
  return changes;
}

Point CentreOf(const HotSpot& spot) { return {spot.x + spot.width / 2, spot.y + spot.height / 2}; }

}  // namespace tolvar
