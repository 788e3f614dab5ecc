#include "skin/owner_drawn_menu.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "macros/event_menu.h"
#include "macros/macro.h"

namespace tolvar {
namespace {

// A canvas that keeps every fill and text.
class RecordingCanvas final : public Canvas {
 public:
  struct Fill {
    PaintRect rect;
    Rgb colour;
  };
  void CopyFromLayer(const LayerImage&, const PaintRect&) override {}
  void FillRect(const PaintRect& rect, Rgb colour) override { fills.push_back({rect, colour}); }
  TextSize MeasureText(const std::u16string&, const FontSpec&) override { return {40, 14}; }
  void DrawText(int x, int y, const std::u16string& text, const FontSpec&, Rgb colour) override {
    texts.push_back({x, y, text, colour});
  }
  struct Text {
    int x, y;
    std::u16string text;
    Rgb colour;
  };
  std::vector<Fill> fills;
  std::vector<Text> texts;
};

const MenuEntry* Find(const std::vector<MenuEntry>& entries, const std::u16string& text) {
  for (const MenuEntry& e : entries) {
    if (e.text == text) return &e;
    if (const MenuEntry* found = Find(e.entries, text)) return found;
  }
  return nullptr;
}

TEST(EventMenu, BothLanguagesGive23RecordsWithTheirIds) {
  for (const std::uint8_t verSel : {1, 0}) {
    CTolvarMenu menu;
    menu.Load(EventMenuResource(verSel));
    ASSERT_EQ(menu.ItemCount(), 23) << int(verSel);
    EXPECT_EQ(menu.Record(0).id, kTopLevelSubMenuId);
    EXPECT_EQ(menu.Record(1).id, kSubMenuId) << "Add Forward";
    EXPECT_EQ(menu.Record(2).id, kSubMenuId) << "its left button";
    EXPECT_EQ(menu.FirstSubMenu().size(), 4U);
  }
  CTolvarMenu english;
  english.Load(EventMenuResource(1));
  const std::vector<MenuItemRecord> firstRecords{{u"MENU_CN", -2},  {u"Add Forward", -1}, {u"Left Button", -1},
                                                 {u"Down ", 32802}, {u"Up", 32803},       {u"Right Button", -1}};
  for (std::size_t i = 0; i < firstRecords.size(); ++i) EXPECT_EQ(english.Record(i), firstRecords[i]) << i;
  EXPECT_EQ(english.Record(21), (MenuItemRecord{u"Modify Delay", 32780}));
  EXPECT_EQ(english.Record(22), (MenuItemRecord{u"Delete", 32781}));

  CTolvarMenu other;
  other.Load(EventMenuResource(0));
  EXPECT_EQ(other.Record(1), (MenuItemRecord{u"다음 진행    ", -1}));
  EXPECT_EQ(other.Record(3), (MenuItemRecord{u"아래  ", 32817}));
  EXPECT_EQ(other.Record(5), (MenuItemRecord{u"오른쪽 버튼    ", -1}));
  EXPECT_EQ(other.Record(22), (MenuItemRecord{u"삭제", 32836}));
}

TEST(EventMenu, EveryIdOfBothLanguagesNamesItsCommand) {
  const std::pair<int, EventCommand> cases[] = {
      {32802, {EventCommandKind::InsertBefore, kLeftButtonCode, kActionPress}},
      {32824, {EventCommandKind::InsertBefore, kMiddleButtonCode, kActionRelease}},
      {32811, {EventCommandKind::InsertAfter, kRightButtonCode, kActionPress}},
      {32830, {EventCommandKind::InsertAfter, kLeftButtonCode, kActionRelease}},
      {32780, {EventCommandKind::ModifyDelay, 0, 0}},
      {32836, {EventCommandKind::Delete, 0, 0}},
  };
  for (const auto& [id, command] : cases) EXPECT_EQ(EventMenuCommand(id), command) << id;
  EXPECT_FALSE(EventMenuCommand(32801)) << "a tray command";
  EXPECT_FALSE(EventMenuCommand(32808));
}

TEST(OwnerDrawnMenu, MeasuresEightPixelsPerCharacterAndTwentyHigh) {
  CTolvarMenu menu;
  menu.Load(EventMenuResource(1));
  const auto measure = [&](const std::u16string& text) {
    const MenuEntry* entry = Find(menu.Entries(), text);
    EXPECT_NE(entry, nullptr) << std::string(text.begin(), text.end());
    return entry ? menu.MeasureEntry(entry->record) : TextSize{};
  };
  EXPECT_EQ(measure(u"Modify Delay").width, 96);
  EXPECT_EQ(measure(u"Modify Delay").height, 20);
  EXPECT_EQ(measure(u"Down ").width, 40) << "the trailing space counts";
  EXPECT_EQ(menu.MeasureEntry(menu.ItemCount()).width, 0) << "no record, no size";

  CTolvarMenu withSeparator;
  withSeparator.Load({{u"top", 0, {{u"One", 7}, {u"", kSeparatorId}, {u"Two", 8}}}});
  EXPECT_EQ(withSeparator.MeasureEntry(2).height, 1);
}

TEST(OwnerDrawnMenu, NeverWritesPastThirtyRecords) {
  std::vector<MenuEntry> many;
  for (int i = 0; i < 40; ++i) many.push_back({u"entry", 100 + i});
  CTolvarMenu menu;
  menu.Load({{u"top", 0, many}});
  EXPECT_EQ(menu.ItemCount(), kMenuRecordSlots);
  EXPECT_EQ(menu.FirstSubMenu().size(), 29U) << "entries without a record are left out";
  EXPECT_EQ(menu.FirstSubMenu().back().record, 29);
  menu.Load({{u"top", 0, {{u"again", 1}}}});
  EXPECT_EQ(menu.ItemCount(), 2) << "each load starts the records afresh";
}

TEST(OwnerDrawnMenu, HighlightGradientHasEighteenLinesEndingInCyan) {
  const std::vector<Rgb> lines = HighlightGradient(18);
  ASSERT_EQ(lines.size(), 18U);
  EXPECT_EQ(lines.front(), (Rgb{0, 0, 255}));
  EXPECT_EQ(lines[1], (Rgb{0, 14, 255}));
  EXPECT_EQ(lines.back(), (Rgb{0, 238, 255}));
}

TEST(OwnerDrawnMenu, DrawsPlainAndHighlightedEntries) {
  CTolvarMenu menu;
  menu.Load(EventMenuResource(1));
  const PaintRect rect{0, 40, 96, 20};

  RecordingCanvas plain;
  menu.DrawEntry(plain, 21, rect, false);
  ASSERT_EQ(plain.fills.size(), 1U);
  EXPECT_EQ(plain.fills[0].rect, rect);
  EXPECT_EQ(plain.fills[0].colour, (Rgb{0, 120, 153}));
  ASSERT_EQ(plain.texts.size(), 1U);
  EXPECT_EQ(plain.texts[0].text, u"Modify Delay");
  EXPECT_EQ(plain.texts[0].x, 10);
  EXPECT_EQ(plain.texts[0].y, 43) << "centred: (20 - 14) / 2 below the top";
  EXPECT_EQ(plain.texts[0].colour, (Rgb{255, 255, 255}));

  RecordingCanvas lit;
  menu.DrawEntry(lit, 21, rect, true);
  ASSERT_EQ(lit.fills.size(), 4U + 18U) << "a frame, then one line per inner row";
  for (int y = 0; y < 18; ++y) {
    const RecordingCanvas::Fill& line = lit.fills[4 + y];
    EXPECT_EQ(line.rect, (PaintRect{1, 41 + y, 94, 1}));
  }
  EXPECT_EQ(lit.fills.back().colour, (Rgb{0, 238, 255}));
  EXPECT_EQ(lit.texts.size(), 1U);
}

}  // namespace
}  // namespace tolvar
