// Focus movement over a list of controls: Tab stops in reading order, one
// stop for a one-stop group (at its checked control), the arrows within a
// group, and the ends of the list.
#include "app/keyboard_focus.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// Rows 0..2 a group Tab walks through, rows 10..13 a one-stop group with
// row 12 checked, rows 20..21 a one-stop group with nothing checked.
std::vector<WindowControl> Fixture() {
  std::vector<WindowControl> controls;
  const auto add = [&](int row, int group, bool oneStop, bool checked) {
    WindowControl c;
    c.id = {HotSpotList::Main, row};
    c.group = group;
    c.oneTabStop = oneStop;
    c.checked = checked;
    controls.push_back(c);
  };
  for (int row = 0; row <= 2; ++row) add(row, 0, false, false);
  for (int row = 10; row <= 13; ++row) add(row, 1, true, row == 12);
  for (int row = 20; row <= 21; ++row) add(row, 2, true, false);
  return controls;
}

ControlId Row(int row) { return {HotSpotList::Main, row}; }

TEST(KeyboardFocus, TabVisitsEachStopInReadingOrderAndWrapsOnlyWhenAsked) {
  const auto controls = Fixture();
  const struct {
    int from;  // kNone: no control focused yet
    bool forward;
    bool wrap;
    std::optional<int> to;
  } cases[] = {
      {kNone, true, true, 0}, {kNone, false, true, 20},
      {0, true, true, 1},     {2, true, true, 12},
      {11, true, true, 20},   {13, true, true, 20},
      {20, true, true, 0},    {20, true, false, std::nullopt},
      {0, false, true, 20},   {0, false, false, std::nullopt},
      {12, false, true, 2},   {21, false, true, 12},
      {10, false, true, 2},
  };
  for (const auto& c : cases) {
    const auto next = NextTabStop(controls, Row(c.from), c.forward, c.wrap);
    ASSERT_EQ(next.has_value(), c.to.has_value()) << c.from << (c.forward ? " Tab" : " Shift+Tab");
    if (c.to) {
      EXPECT_EQ(next->row, *c.to) << c.from << (c.forward ? " Tab" : " Shift+Tab");
    }
  }
}

TEST(KeyboardFocus, ArrowsStayInTheGroupAndWrapRound) {
  const auto controls = Fixture();
  const struct {
    int from;
    NavigationKey key;
    std::optional<int> to;
  } cases[] = {
      {10, NavigationKey::Right, 11},
      {10, NavigationKey::Down, 11},
      {13, NavigationKey::Right, 10},
      {10, NavigationKey::Left, 13},
      {12, NavigationKey::Up, 11},
      {11, NavigationKey::Home, 10},
      {11, NavigationKey::End, 13},
      {2, NavigationKey::Right, 0},
      {21, NavigationKey::Down, 20},
      {10, NavigationKey::Space, std::nullopt},
      {99, NavigationKey::Right, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto next = MoveInGroup(controls, Row(c.from), c.key);
    ASSERT_EQ(next.has_value(), c.to.has_value()) << c.from;
    if (c.to) {
      EXPECT_EQ(next->row, *c.to) << c.from;
    }
  }
}

TEST(KeyboardFocus, AnEmptyListHasNoStop) {
  EXPECT_FALSE(NextTabStop({}, Row(kNone), true, true));
  EXPECT_FALSE(MoveInGroup({}, Row(3), NavigationKey::Right));
}

// What a screen reader is told between two paints.
TEST(ControlChanges, EachDifferenceIsToldOnceAndAnUnchangedListTellsNothing) {
  const auto before = Fixture();
  const KeyboardFocus focus{Row(0), true};
  EXPECT_TRUE(ChangesBetween(before, focus, before, focus).empty());

  auto after = before;
  after[4].checked = true;      // row 11: the new choice
  after[5].checked = false;     // row 12: the old one
  after[0].name = u"renamed";   // row 0
  after[1].unavailable = true;  // row 1
  after[7].value = ControlValue{5, 0, 9};
  after.erase(after.begin() + 8);  // row 21 gone
  WindowControl added;
  added.id = Row(30);
  after.push_back(added);
  const std::vector<ControlChange> expected{
      {Row(0), ChangeKind::Name},     {Row(1), ChangeKind::Availability}, {Row(11), ChangeKind::Checked},
      {Row(12), ChangeKind::Checked}, {Row(20), ChangeKind::Value},       {Row(30), ChangeKind::Shown},
      {Row(21), ChangeKind::Hidden},  {Row(12), ChangeKind::Focus},
  };
  EXPECT_EQ(ChangesBetween(before, focus, after, {Row(12), true}), expected);
}

TEST(ControlChanges, TheFocusIsToldWhenItMovesOrIsShownOnAControlOfThePage) {
  const auto controls = Fixture();
  const struct {
    KeyboardFocus before, after;
    bool told;
  } cases[] = {
      {{Row(0), true}, {Row(1), true}, true},   {{Row(0), false}, {Row(0), true}, true},
      {{Row(0), true}, {Row(0), true}, false},  {{Row(0), true}, {Row(1), false}, false},
      {{Row(0), true}, {Row(99), true}, false},  // not on the page
  };
  for (const auto& c : cases) {
    const auto changes = ChangesBetween(controls, c.before, controls, c.after);
    EXPECT_EQ(!changes.empty(), c.told) << c.before.control.row << " to " << c.after.control.row;
  }
}

}  // namespace
}  // namespace tolvar
