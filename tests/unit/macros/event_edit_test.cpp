#include "macros/event_edit.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvar {
namespace {

Macro WithEvents(std::vector<MacroEvent> events) {
  Macro macro;
  for (std::size_t i = 0; i < events.size(); ++i) macro.events[i] = events[i];
  macro.eventCount = static_cast<std::uint8_t>(events.size());
  return macro;
}

std::vector<MacroEvent> Events(const Macro& macro) {
  return {macro.events.begin(), macro.events.begin() + macro.eventCount};
}

TEST(EventLines, KeyAndDelayLineTexts) {
  EXPECT_EQ(KeyLineText({4, kActionPress, 120}), u"[↓]A");
  EXPECT_EQ(KeyLineText({4, kActionRelease, 30}), u"[↑]A");
  EXPECT_EQ(KeyLineText({kLeftButtonCode, kActionPress, 30}), u"[↓]L-KEY");
  EXPECT_EQ(KeyLineText({53, 0, 0}), u"NON-AVAILABLE") << "no action: the name alone";
  EXPECT_EQ(DelayLineText(120), u"    120ms");
  EXPECT_EQ(DelayLineText(65535), u"    65535ms");
  EXPECT_EQ(DelayLineText(0), u"    0ms");
}

TEST(InsertEvent, BeforeAfterAndAtTheEnds) {
  const MacroEvent a{4, kActionPress, 120}, b{4, kActionRelease, 40};
  const MacroEvent left{kLeftButtonCode, kActionPress, kInsertedEventDelay};
  struct Case {
    int position;
    std::vector<MacroEvent> expected;
  } cases[] = {
      {0, {left, a, b}},  {1, {a, left, b}}, {2, {a, b, left}}, {7, {a, b, left}} /* past the end: appended */,
      {-3, {left, a, b}},
  };
  for (const Case& c : cases) {
    Macro macro = WithEvents({a, b});
    ASSERT_TRUE(InsertEvent(macro, c.position, kLeftButtonCode, kActionPress)) << c.position;
    EXPECT_EQ(Events(macro), c.expected) << c.position;
  }
}

TEST(InsertEvent, RefusedAt254EventsWithoutAnyChange) {
  Macro macro;
  macro.eventCount = 253;
  ASSERT_TRUE(InsertEvent(macro, 0, kRightButtonCode, kActionRelease));
  EXPECT_EQ(macro.eventCount, 254);
  const Macro full = macro;
  EXPECT_FALSE(InsertEvent(macro, 10, kRightButtonCode, kActionRelease));
  EXPECT_EQ(macro, full);
}

TEST(DeleteEvent, RemovesTheEventAndMovesTheRestDown) {
  const MacroEvent a{4, kActionPress, 120}, b{5, kActionPress, 40}, c{5, kActionRelease, 30};
  struct Case {
    int index;
    std::vector<MacroEvent> expected;
  } cases[] = {{0, {b, c}}, {1, {a, c}}, {2, {a, b}}, {9, {a, b}}};
  for (const Case& test : cases) {
    Macro macro = WithEvents({a, b, c});
    DeleteEvent(macro, test.index);
    EXPECT_EQ(Events(macro), test.expected) << test.index;
  }
  Macro empty;
  DeleteEvent(empty, 0);
  EXPECT_EQ(empty.eventCount, 0);
}

TEST(DelayFromLineText, EightBitArithmetic) {
  const std::pair<std::u16string, std::uint16_t> cases[] = {
      {u"250", 250},     {u"    250ms", 250}, {u"70000", 4464},  {u"-5", 251}, {u"x", 0},
      {u"    30ms", 30}, {u"12ms34", 12},     {u"65535", 65535}, {u"", 0},     {u"ms5", 0},
  };
  for (const auto& [text, delay] : cases) {
    EXPECT_EQ(DelayFromLineText(text), delay) << std::string(text.begin(), text.end());
  }
}

}  // namespace
}  // namespace tolvar
