#include "skin/owner_drawn_menu.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "macros/event_menu.h"
#include "macros/macro.h"

namespace tolvar {
namespace {

const FontSpec kTestFont{u"Test Face", 14, 7, 400};

// A canvas that keeps every fill and text and measures `perCharacter`
// pixels for each character, `lineHeight` high.
class RecordingCanvas final : public Canvas {
 public:
  struct Fill {
    PaintRect rect;
    Rgb colour;
  };
  void CopyFromLayer(const LayerImage&, const PaintRect&) override {}
  void FillRect(const PaintRect& rect, Rgb colour) override { fills.push_back({rect, colour}); }
  TextSize MeasureText(const std::u16string& text, const FontSpec& font) override {
    measuredFont = font;
    return {perCharacter * static_cast<int>(text.size()), lineHeight};
  }
  void DrawText(int x, int y, const std::u16string& text, const FontSpec& font, Rgb colour) override {
    texts.push_back({x, y, text, colour});
    drawnFont = font;
  }
  int perCharacter = 0;
  int lineHeight = 14;
  FontSpec measuredFont;
  FontSpec drawnFont;
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
    menu.Load(EventMenuResource(verSel), kTestFont);
    ASSERT_EQ(menu.ItemCount(), 23) << int(verSel);
    EXPECT_EQ(menu.Record(0).id, kTopLevelSubMenuId);
    EXPECT_EQ(menu.Record(1).id, kSubMenuId) << "Add Forward";
    EXPECT_EQ(menu.Record(2).id, kSubMenuId) << "its left button";
    EXPECT_EQ(menu.FirstSubMenu().size(), 4U);
  }
  CTolvarMenu english;
  english.Load(EventMenuResource(1), kTestFont);
  const std::vector<MenuItemRecord> firstRecords{{u"MENU_CN", -2},  {u"Add Forward", -1}, {u"Left Button", -1},
                                                 {u"Down ", 32802}, {u"Up", 32803},       {u"Right Button", -1}};
  for (std::size_t i = 0; i < firstRecords.size(); ++i) EXPECT_EQ(english.Record(i), firstRecords[i]) << i;
  EXPECT_EQ(english.Record(21), (MenuItemRecord{u"Modify Delay", 32780}));
  EXPECT_EQ(english.Record(22), (MenuItemRecord{u"Delete", 32781}));

  CTolvarMenu other;
  other.Load(EventMenuResource(0), kTestFont);
  EXPECT_EQ(other.Record(1), (MenuItemRecord{u"다음 진행    ", -1}));
  EXPECT_EQ(other.Record(3), (MenuItemRecord{u"아래  ", 32817}));
  EXPECT_EQ(other.Record(5), (MenuItemRecord{u"오른쪽 버튼    ", -1}));
  EXPECT_EQ(other.Record(22), (MenuItemRecord{u"삭제", 32836}));
}

// Every record of both languages: caption (trailing blanks included) and id.
TEST(EventMenu, EveryRecordOfBothLanguagesHasItsCaptionAndId) {
  const std::vector<MenuItemRecord> english{
      {u"MENU_CN", -2},      {u"Add Forward", -1},     {u"Left Button", -1}, {u"Down ", 32802},   {u"Up", 32803},
      {u"Right Button", -1}, {u"Down", 32804},         {u"Up", 32805},       {u"Mid Button", -1}, {u"Down", 32806},
      {u"Up", 32807},        {u"Add Backward", -1},    {u"Left Button", -1}, {u"Down ", 32809},   {u"Up", 32810},
      {u"Right Button", -1}, {u"Down", 32811},         {u"Up", 32812},       {u"Mid Button", -1}, {u"Down", 32813},
      {u"Up", 32814},        {u"Modify Delay", 32780}, {u"Delete", 32781}};
  const std::vector<MenuItemRecord> korean{
      {u"????", -2},        {u"다음 진행    ", -1},   {u"왼쪽 버튼", -1},   {u"아래  ", 32817},
      {u"위", 32818},       {u"오른쪽 버튼    ", -1}, {u"아래  ", 32820},   {u"위", 32821},
      {u"가운데 버튼", -1}, {u"아래  ", 32823},       {u"위", 32824},       {u"이전 진행", -1},
      {u"왼쪽 버튼", -1},   {u"아래  ", 32829},       {u"위", 32830},       {u"오른쪽 버튼    ", -1},
      {u"아래  ", 32831},   {u"위", 32832},           {u"가운데 버튼", -1}, {u"아래  ", 32833},
      {u"위", 32834},       {u"지연 수정", 32835},    {u"삭제", 32836}};
  for (const auto& [verSel, expected] : {std::pair{1, &english}, std::pair{0, &korean}}) {
    CTolvarMenu menu;
    menu.Load(EventMenuResource(static_cast<std::uint8_t>(verSel)), kTestFont);
    ASSERT_EQ(menu.ItemCount(), static_cast<int>(expected->size()));
    for (std::size_t i = 0; i < expected->size(); ++i)
      EXPECT_EQ(menu.Record(static_cast<int>(i)), (*expected)[i]) << verSel << " " << i;
    for (const MenuItemRecord& record : *expected) {
      if (record.id > 0) {
        EXPECT_TRUE(EventMenuCommand(record.id)) << record.id;
      }
    }
  }
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

// An entry is as wide as its caption needs (indent, text, and the margin
// or the sub-menu arrow's space), never narrower than 8 px per character,
// and at least 20 high.
TEST(OwnerDrawnMenu, EntriesAreAsWideAsTheirCaptionNeedsAndNeverBelowEightPixelsPerCharacter) {
  CTolvarMenu menu;
  menu.Load(EventMenuResource(1), kTestFont);
  struct Case {
    std::u16string caption;
    int perCharacter;
    int lineHeight;
    TextSize size;
  };
  const Case cases[] = {
      {u"Modify Delay", 5, 14, {96, 20}},                        // 12 characters: the 8 px rule
      {u"Modify Delay", 9, 14, {10 + 108 + 6, 20}},              // the caption needs more
      {u"Down ", 8, 14, {10 + 40 + 6, 20}},                      // the trailing space counts
      {u"Left Button", 5, 14, {88, 20}},                         // a sub-menu entry, 8 px rule
      {u"Left Button", 9, 14, {10 + 99 + kMenuArrowSpace, 20}},  // room for its arrow
      {u"Delete", 8, 24, {10 + 48 + 6, 26}},                     // a tall face: taller entries
  };
  for (const Case& c : cases) {
    const MenuEntry* entry = Find(menu.Entries(), c.caption);
    ASSERT_NE(entry, nullptr) << std::string(c.caption.begin(), c.caption.end());
    RecordingCanvas canvas;
    canvas.perCharacter = c.perCharacter;
    canvas.lineHeight = c.lineHeight;
    const TextSize size = menu.MeasureEntry(canvas, entry->record);
    EXPECT_EQ(size.width, c.size.width) << std::string(c.caption.begin(), c.caption.end()) << " " << c.perCharacter;
    EXPECT_EQ(size.height, c.size.height) << std::string(c.caption.begin(), c.caption.end());
    EXPECT_EQ(canvas.measuredFont, kTestFont) << "measured in the menu's face";
  }
  RecordingCanvas canvas;
  EXPECT_EQ(menu.MeasureEntry(canvas, menu.ItemCount()).width, 0) << "no record, no size";

  CTolvarMenu withSeparator;
  withSeparator.Load({{u"top", 0, {{u"One", 7}, {u"", kSeparatorId}, {u"Two", 8}}}}, kTestFont);
  EXPECT_EQ(withSeparator.MeasureEntry(canvas, 2).height, 1);
}

TEST(OwnerDrawnMenu, EntriesThatOpenASubMenuCarryAnArrowAtTheirRightEdge) {
  CTolvarMenu menu;
  menu.Load(EventMenuResource(1), kTestFont);
  const PaintRect rect{0, 20, 120, 20};
  struct Case {
    std::u16string caption;
    bool arrow;
  };
  for (const Case& c :
       {Case{u"Add Forward", true}, Case{u"Left Button", true}, Case{u"Down ", false}, Case{u"Modify Delay", false}}) {
    const MenuEntry* entry = Find(menu.Entries(), c.caption);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(menu.OpensSubMenu(entry->record), c.arrow);
    for (const bool highlighted : {false, true}) {
      RecordingCanvas canvas;
      menu.DrawEntry(canvas, entry->record, rect, highlighted);
      // The arrow: white columns right of the caption, narrowing to the tip.
      std::vector<PaintRect> arrow;
      for (const auto& fill : canvas.fills) {
        if (fill.colour == kMenuCaption) arrow.push_back(fill.rect);
      }
      if (!c.arrow) {
        EXPECT_TRUE(arrow.empty()) << std::string(c.caption.begin(), c.caption.end());
        continue;
      }
      ASSERT_EQ(arrow.size(), static_cast<std::size_t>(kMenuArrowWidth));
      EXPECT_EQ(arrow.back().x + 1, rect.width - kMenuArrowRightMargin) << "the tip";
      EXPECT_EQ(arrow.front().height, 2 * kMenuArrowWidth - 1);
      EXPECT_EQ(arrow.back().height, 1);
      EXPECT_EQ(arrow.back().y, rect.y + rect.height / 2);
      EXPECT_EQ(canvas.drawnFont, kTestFont);
    }
  }
}

TEST(OwnerDrawnMenu, NeverWritesPastThirtyRecords) {
  std::vector<MenuEntry> many;
  for (int i = 0; i < 40; ++i) many.push_back({u"entry", 100 + i});
  CTolvarMenu menu;
  menu.Load({{u"top", 0, many}}, kTestFont);
  EXPECT_EQ(menu.ItemCount(), kMenuRecordSlots);
  EXPECT_EQ(menu.FirstSubMenu().size(), 29U) << "entries without a record are left out";
  EXPECT_EQ(menu.FirstSubMenu().back().record, 29);
  menu.Load({{u"top", 0, {{u"again", 1}}}}, kTestFont);
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
  menu.Load(EventMenuResource(1), kTestFont);
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
