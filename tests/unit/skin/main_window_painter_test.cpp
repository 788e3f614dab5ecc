#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "app/main_window_view.h"
#include "base/text.h"
#include "config/button_catalogue.h"

namespace tolvar {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGray{128, 128, 128};

struct FakeLayer : LayerImage {
  explicit FakeLayer(std::string n) : name(std::move(n)) {}
  std::string name;
};

// Every image of the skin folder exists unless it is listed as missing.
class FakeImages : public LayerImages {
 public:
  std::shared_ptr<const LayerImage> Load(const std::string& path) override {
    const std::string name = path.substr(path.rfind('/') + 1);
    if (missing.count(name)) return nullptr;
    auto& layer = layers_[name];
    if (!layer) layer = std::make_shared<FakeLayer>(name);
    return layer;
  }
  std::set<std::string> missing;

 private:
  std::map<std::string, std::shared_ptr<const LayerImage>> layers_;
};

struct Op {
  enum Kind { Copy, Fill, Text } kind;
  std::string layer;  // Copy
  PaintRect rect;     // Copy, Fill
  Rgb colour;         // Fill, Text
  std::u16string text;
  FontSpec font;
  int x = 0, y = 0;  // Text
};

// Records every call; text is 6 pixels a character, the font's height tall.
class RecordingCanvas : public Canvas {
 public:
  void CopyFromLayer(const LayerImage& layer, const PaintRect& rect) override {
    ops.push_back({Op::Copy, static_cast<const FakeLayer&>(layer).name, rect, {}, {}, {}});
  }
  void FillRect(const PaintRect& rect, Rgb colour) override { ops.push_back({Op::Fill, {}, rect, colour, {}, {}}); }
  TextSize MeasureText(const std::u16string& text, const FontSpec& font) override {
    return {static_cast<int>(text.size()) * 6, font.height};
  }
  void DrawText(int x, int y, const std::u16string& text, const FontSpec& font, Rgb colour) override {
    ops.push_back({Op::Text, {}, {}, colour, text, font, x, y});
  }
  std::vector<Op> ops;
};

// Row r of each page sits at x = 10 r on a line of its own, so every copy
// names its row. Advanced row 30, the fire-time bar, is 300 wide.
constexpr int kMainY = 0, kColourY = 100, kAdvancedY = 200;

template <std::size_t N>
void LayOut(SkinPage<N>& page, int y, const char* prefix) {
  for (int r = 0; r < SkinPage<N>::kRows; ++r) {
    page.spots[static_cast<std::size_t>(r)] = {10 * r, y, 8, 20};
    page.labels[static_cast<std::size_t>(r)] = Utf8ToUtf16(prefix + std::to_string(r));
  }
}

class PainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.Paths.SkinsDir = "/skin";
    state_.MaskWidth = 640;
    state_.MaskHeight = 480;
    state_.CurConfig = 1;
    state_.VER_SEL = 1;
    LayOut(state_.Skin.Main, kMainY, "m");
    LayOut(state_.Skin.Colour, kColourY, "c");
    LayOut(state_.Skin.Advanced, kAdvancedY, "a");
    state_.Skin.Advanced.spots[30] = {300, kAdvancedY, 300, 20};
    for (int code = 1; code <= kFunctionLabelCount; ++code) {
      state_.Skin.FunctionLabels[static_cast<std::size_t>(code)] = u"F" + DecimalText(code);
    }
    for (std::size_t i = 0; i < state_.Settings.DisplayColour.size(); ++i) {
      state_.Settings.DisplayColour[i] = {static_cast<std::uint8_t>(10 + i), 20, 30};
    }
  }

  void Paint(int page) {
    state_.CurrentPage = static_cast<std::uint8_t>(page);
    canvas_.ops.clear();
    PaintMainWindow(state_, view_, canvas_, images_);
  }

  static int RowAt(const PaintRect& rect, int lineY) { return rect.y == lineY ? rect.x / 10 : -1; }

  // Layers copied onto row `row` of the page on line `lineY`, in order.
  std::vector<std::string> CopiesOf(int row, int lineY) const {
    std::vector<std::string> layers;
    for (const Op& op : canvas_.ops) {
      if (op.kind == Op::Copy && RowAt(op.rect, lineY) == row) layers.push_back(op.layer);
    }
    return layers;
  }
  std::vector<std::string> MainCopies(int row) const { return CopiesOf(row, kMainY); }
  std::vector<std::string> ColourCopies(int row) const { return CopiesOf(row, kColourY); }
  std::vector<std::string> AdvancedCopies(int row) const { return CopiesOf(row, kAdvancedY); }

  std::vector<PaintRect> FillsIn(Rgb colour) const {
    std::vector<PaintRect> rects;
    for (const Op& op : canvas_.ops) {
      if (op.kind == Op::Fill && op.colour == colour) rects.push_back(op.rect);
    }
    return rects;
  }

  // The text centred on row `row` of the page on line `lineY`.
  std::optional<Op> TextOf(int row, int lineY) const {
    for (const Op& op : canvas_.ops) {
      const int centre = op.x + static_cast<int>(op.text.size()) * 3;
      if (op.kind == Op::Text && op.y >= lineY && op.y < lineY + 20 && centre >= 10 * row && centre < 10 * row + 10) {
        return op;
      }
    }
    return std::nullopt;
  }
  std::optional<Op> TextDrawn(const std::u16string& text) const {
    for (const Op& op : canvas_.ops) {
      if (op.kind == Op::Text && op.text == text) return op;
    }
    return std::nullopt;
  }

  AppState state_;
  WindowViewState view_;
  RecordingCanvas canvas_;
  FakeImages images_;
};

using Layers = std::vector<std::string>;

TEST_F(PainterTest, TheNormalImageIsTheCanvasAndTextComesLast) {
  for (int page : {0, 1, 2}) {
    Paint(page);
    ASSERT_FALSE(canvas_.ops.empty());
    const Op& first = canvas_.ops.front();
    EXPECT_EQ(first.kind, Op::Copy);
    EXPECT_EQ(first.layer, (Layers{"main_normal.jpg", "advanced_normal.jpg", "color_normal_gray.jpg"}[page]));
    EXPECT_EQ(first.rect, (PaintRect{0, 0, 640, 480}));
    bool textSeen = false;
    for (const Op& op : canvas_.ops) {
      if (op.kind == Op::Text) textSeen = true;
      if (textSeen) {
        EXPECT_EQ(op.kind, Op::Text) << "page " << page;
      }
    }
    EXPECT_TRUE(textSeen);
  }
}

TEST_F(PainterTest, HoveredRowsShowOverOrDownByThePressedFlag) {
  view_.HoverMain = 50;
  Paint(0);
  EXPECT_EQ(MainCopies(50), Layers{"main_over.jpg"});
  view_.Pressed = true;
  Paint(0);
  EXPECT_EQ(MainCopies(50), Layers{"main_down.jpg"});

  view_.HoverMain = kNone;
  view_.HoverColour = 17;
  Paint(2);
  EXPECT_EQ(ColourCopies(17), Layers{"color_down_blue.jpg"});

  view_.HoverAdvanced = 5;
  Paint(1);
  EXPECT_EQ(AdvancedCopies(5), Layers{"advanced_down.jpg"});
  view_.Pressed = false;
  Paint(1);
  EXPECT_EQ(AdvancedCopies(5), Layers{"advanced_over.jpg"});
}

TEST_F(PainterTest, APressedFireTimeBarKeepsItsOwnDrawing) {
  view_.HoverAdvanced = 30;
  view_.Pressed = true;
  state_.Settings.FIRE_TIME = 0;
  Paint(1);
  EXPECT_TRUE(AdvancedCopies(30).empty());
  view_.Pressed = false;
  Paint(1);
  EXPECT_EQ(AdvancedCopies(30), Layers{"advanced_over.jpg"});
}

TEST_F(PainterTest, HeaderShowsProfilePageAndLanguage) {
  struct Case {
    int curConfig;
    std::uint8_t verSel;
    int page;
    std::set<int> down;  // header rows whose last copy is from the down image
  };
  const Case cases[] = {
      {2, 1, 0, {5, 9, 18}},
      {5, 0, 1, {8, 10, 17}},
      {0, 1, 2, {3, 11, 18}},  // no current profile: the apply button looks pressed
      {1, 2, 0, {4, 9}},       // only VER_SEL 1 presses the English button
  };
  for (const auto& c : cases) {
    state_.CurConfig = c.curConfig;
    state_.VER_SEL = c.verSel;
    Paint(c.page);
    const std::string down = c.page == 0 ? "main_down.jpg" : c.page == 1 ? "advanced_down.jpg" : "color_down_blue.jpg";
    for (int row = 0; row < 20; ++row) {
      const Layers copies = MainCopies(row);
      const bool shownDown = !copies.empty() && copies.back() == down;
      EXPECT_EQ(shownDown, c.down.count(row) == 1) << "profile " << c.curConfig << " page " << c.page << " row " << row;
    }
  }
}

TEST_F(PainterTest, HoveredHeaderButtons) {
  state_.CurConfig = 2;
  view_.HoverMain = 5;  // the current profile stays pressed-looking
  Paint(0);
  EXPECT_EQ(MainCopies(5).back(), "main_down.jpg");
  view_.HoverMain = 9;  // the current tab shows hovered while the button is up
  Paint(0);
  EXPECT_EQ(MainCopies(9).back(), "main_over.jpg");
  view_.HoverMain = 10;  // on the advanced page, main hover indexes the header
  Paint(1);
  EXPECT_EQ(MainCopies(10).back(), "advanced_over.jpg");
}

TEST_F(PainterTest, DpiBarsFillUpToTheLevelsLastCell) {
  auto& s = state_.Settings;
  s.DPI_SET = {0, 11, 200, 3, 5, 7};
  s.DPI_SET_EN = {true, false, true, true, true, true};
  for (int level = 0; level < 6; ++level)
    s.SelectedValueHotSpot[level] = SelectedValueHotSpotOf(level, s.DPI_SET[level]);
  Paint(0);
  const std::size_t expectedCells[] = {1, 12, 12, 4, 6, 8};
  for (int level = 0; level < 6; ++level) {
    const Rgb colour = s.DisplayColour[static_cast<std::size_t>(level)];
    const std::vector<PaintRect> fills = FillsIn(colour);
    ASSERT_EQ(fills.size(), expectedCells[level] + 1) << "level " << level;
    EXPECT_EQ(fills[0], (PaintRect{10 * (41 + level), 0, 8, 20})) << "swatch of level " << level;
    for (std::size_t cell = 0; cell < expectedCells[level]; ++cell) {
      const int row = 66 + 12 * level + static_cast<int>(cell);
      EXPECT_EQ(fills[cell + 1], (PaintRect{10 * row + 1, 1, 6, 19})) << "level " << level << " cell " << cell;
    }
  }
  // A disabled level keeps swatch and bar; its switch is not pressed.
  EXPECT_TRUE(MainCopies(48).empty());
  EXPECT_EQ(MainCopies(47), Layers{"main_down.jpg"});
}

TEST_F(PainterTest, MainPageSelectorsAndWheel) {
  state_.Settings.DPI_LEVEL = 3;
  state_.Settings.WHEEL_STATUS = 0;
  Paint(0);
  EXPECT_EQ(MainCopies(63), Layers{"main_down.jpg"});
  EXPECT_EQ(MainCopies(32), Layers{"main_down.jpg"});
  EXPECT_TRUE(MainCopies(33).empty());

  state_.Settings.DPI_LEVEL = 9;  // outside the six levels: no selector
  state_.Settings.WHEEL_STATUS = -4;
  Paint(0);
  for (int row = 60; row < 150; ++row) {
    if (row < 66 || row > 137) {
      EXPECT_TRUE(MainCopies(row).empty()) << row;
    }
  }
  EXPECT_EQ(MainCopies(33), Layers{"main_down.jpg"});
}

TEST_F(PainterTest, AHoveredAssignmentButtonShowsItsPictureOverTheBars) {
  view_.HoverMain = 22;
  Paint(0);
  const Layers copies = MainCopies(140);
  EXPECT_EQ(copies.size(), 7u);
  for (const auto& layer : copies) EXPECT_EQ(layer, "main_over.jpg");
  std::size_t lastFill = 0, lastPicture = 0;
  for (std::size_t i = 0; i < canvas_.ops.size(); ++i) {
    if (canvas_.ops[i].kind == Op::Fill) lastFill = i;
    if (canvas_.ops[i].kind == Op::Copy && RowAt(canvas_.ops[i].rect, kMainY) == 140) lastPicture = i;
  }
  EXPECT_GT(lastPicture, lastFill);

  view_.HoverMain = 26;
  Paint(0);
  for (int row = 138; row < 144; ++row) EXPECT_TRUE(MainCopies(row).empty()) << row;
}

TEST_F(PainterTest, FireTimeBarIsInProportionAndNeverWiderThanItsRow) {
  const std::pair<std::int32_t, int> cases[] = {{0, 0},     {1, 1},      {150, 150}, {299, 299},
                                                {300, 300}, {1000, 300}, {-20, 0}};
  for (const auto& [fireTime, width] : cases) {
    state_.Settings.FIRE_TIME = fireTime;
    Paint(1);
    std::vector<PaintRect> bars;
    for (const Op& op : canvas_.ops) {
      if (op.kind == Op::Copy && op.rect.x == 300 && op.rect.y == kAdvancedY) bars.push_back(op.rect);
    }
    if (width == 0) {
      EXPECT_TRUE(bars.empty()) << fireTime;
    } else {
      ASSERT_EQ(bars.size(), 1u) << fireTime;
      EXPECT_EQ(bars[0], (PaintRect{300, kAdvancedY, width, 20})) << fireTime;
    }
  }
}

TEST_F(PainterTest, AdvancedPageSelectorsAndModes) {
  auto& s = state_.Settings;
  s.DPI_SPEED = 9;
  s.WHEEL_SPEED = 0;
  s.USB_SPEED = 3;
  state_.SelectedMacro = 2;
  state_.UserMacros.slots[2].mode = 3;
  state_.Recording = true;
  Paint(1);
  for (int row : {4, 6, 7, 17, 18, 37}) EXPECT_EQ(AdvancedCopies(row), Layers{"advanced_down.jpg"}) << row;
  const std::vector<std::string> order = [&] {
    std::vector<std::string> rows;
    for (const Op& op : canvas_.ops) {
      const int row = RowAt(op.rect, kAdvancedY);
      if (op.kind == Op::Copy && (row == 6 || row == 7)) rows.push_back(std::to_string(row));
    }
    return rows;
  }();
  EXPECT_EQ(order, (std::vector<std::string>{"7", "6"}));

  // Values beyond their selectors, and a selected macro beyond the table.
  s.DPI_SPEED = 10;
  s.WHEEL_SPEED = 250;
  s.USB_SPEED = 4;
  state_.SelectedMacro = 13;
  state_.Recording = false;
  Paint(1);
  for (int row = 0; row < 52; ++row) {
    if (row != 30) {
      EXPECT_TRUE(AdvancedCopies(row).empty()) << row;
    }
  }
}

TEST_F(PainterTest, ColourPageSelectors) {
  struct Case {
    std::uint8_t ledType, cycleTime;
    std::set<int> down;
  };
  const Case cases[] = {
      {0, 5, {7, 11}}, {1, 0, {8, 16}}, {2, 3, {9}}, {3, 3, {10}}, {0, 6, {7}}, {4, 2, {}},
  };
  for (const auto& c : cases) {
    state_.Settings.LED_TYPE = c.ledType;
    state_.Settings.LED_CYC_TIME = c.cycleTime;
    for (auto& flag : state_.Settings.CYC_7COL_EN) flag = false;
    state_.Settings.CYC_7COL_EN[4] = true;
    Paint(2);
    for (int row = 5; row < 32; ++row) {
      const bool down = !ColourCopies(row).empty();
      EXPECT_EQ(down, c.down.count(row) == 1)
          << "type " << int(c.ledType) << " time " << int(c.cycleTime) << " row " << row;
    }
    EXPECT_EQ(ColourCopies(4), Layers{"color_down_blue.jpg"});
    EXPECT_TRUE(ColourCopies(3).empty());
  }
}

TEST_F(PainterTest, ThePreviewShowsTheCurrentColourOrGray) {
  struct Case {
    bool gray;
    std::uint8_t colour;
    Layers copies;
  };
  const Case cases[] = {
      {true, 3, {"color_normal_gray.jpg"}},
      {true, 9, {"color_normal_gray.jpg"}},
      {false, 0, {"color_over_yellow.jpg"}},
      {false, 1, {"color_down_blue.jpg"}},
      {false, 2, {"color_pink.jpg"}},
      {false, 3, {"color_green.jpg"}},
      {false, 4, {"color_red.jpg"}},
      {false, 5, {"color_cyan.jpg"}},
      {false, 6, {"color_white.jpg"}},
      {false, 7, {}},
      {false, 9, {}},
      {false, 255, {}},
  };
  for (const auto& c : cases) {
    state_.PreviewGray = c.gray;
    state_.PreviewColour = c.colour;
    Paint(2);
    EXPECT_EQ(ColourCopies(32), c.copies) << "gray " << c.gray << " colour " << int(c.colour);
  }
}

TEST_F(PainterTest, AssignmentButtonsShowTheirFunctionOrMacro) {
  auto& k = state_.Settings.K;
  k[0] = 5;
  k[1] = 41;
  k[2] = 99;
  k[3] = 52;
  k[4] = -3;
  k[5] = 54;
  const char16_t name0[] = u"Combo";
  std::copy(std::begin(name0), std::end(name0), state_.UserMacros.slots[0].name.begin());
  state_.UserMacros.slots[11].name.fill(u'Z');  // no terminator: all 20 units
  view_.HoverMain = 21;
  Paint(0);

  const struct {
    int row;
    std::u16string text;
    Rgb colour;
  } cases[] = {{20, u"F5", kBlack}, {21, u"Combo", kRed}, {23, std::u16string(20, u'Z'), kBlack}, {25, u"F54", kBlack}};
  for (const auto& c : cases) {
    const auto op = TextDrawn(c.text);
    ASSERT_TRUE(op) << c.row;
    EXPECT_EQ(op->x, 10 * c.row + 5) << c.row;  // left-aligned
    EXPECT_EQ(op->y, 3) << c.row;               // (20 − 14) / 2
    EXPECT_EQ(op->colour, c.colour) << c.row;
  }
  // Codes 99 and −3 have no label.
  for (const Op& op : canvas_.ops) {
    if (op.kind == Op::Text && op.y < 20) {
      EXPECT_FALSE(op.x == 225 || op.x == 245) << Utf16ToUtf8(op.text);
    }
  }
  EXPECT_EQ(AssignmentLabel(state_.Skin.FunctionLabels, state_.UserMacros, 99), u"");
  EXPECT_EQ(AssignmentLabel(state_.Skin.FunctionLabels, state_.UserMacros, 1), u"F1");
}

TEST_F(PainterTest, LabelsAreCentredAndColouredByTheirRows) {
  state_.Skin.Main.spots[30] = {300, 0, 9, 21};  // odd differences round toward zero
  state_.Skin.Main.labels[30] = u"ab";
  state_.Settings.DPI_SET_EN = {true, false, true, false, true, false};
  Paint(0);

  const auto centred = TextDrawn(u"ab");
  ASSERT_TRUE(centred);
  EXPECT_EQ(centred->x, 300 + (9 - 12) / 2);
  EXPECT_EQ(centred->x, 299);
  EXPECT_EQ(centred->y, (21 - 14) / 2);
  EXPECT_EQ(centred->font, kFontEnglish);

  const auto wide = TextDrawn(u"m40");  // 18 wide in a row of 8
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->x, 400 - 5);

  const std::pair<std::u16string, Rgb> colours[] = {{u"m0", kBlack},  {u"m1", kYellow}, {u"m34", kWhite},
                                                    {u"m35", kWhite}, {u"m36", kBlack}, {u"m53", kRed},
                                                    {u"m54", kGray},  {u"m58", kGray}};
  for (const auto& [text, colour] : colours) {
    const auto op = TextDrawn(text);
    ASSERT_TRUE(op) << Utf16ToUtf8(text);
    EXPECT_EQ(op->colour, colour) << Utf16ToUtf8(text);
  }
  EXPECT_EQ(TextDrawn(u"m53")->font, kFontEnglishSmall);
  EXPECT_EQ(TextDrawn(u"m53")->y, 4);  // (20 − 12) / 2
  EXPECT_FALSE(TextDrawn(u"m59"));
  EXPECT_FALSE(TextDrawn(u"m149"));

  state_.VER_SEL = 0;
  Paint(0);
  EXPECT_EQ(TextDrawn(u"m0")->font, kFontOther);
  EXPECT_EQ(TextDrawn(u"m53")->font, kFontOther);
}

TEST_F(PainterTest, OtherPagesDrawTheHeaderTextsAndTheirOwn) {
  for (int page : {1, 2}) {
    Paint(page);
    EXPECT_TRUE(TextDrawn(u"m18")) << page;
    EXPECT_FALSE(TextDrawn(u"m19")) << page;
    EXPECT_FALSE(TextDrawn(u"m20")) << page;
    EXPECT_EQ(TextDrawn(u"m1")->colour, kYellow) << page;
  }
  Paint(2);
  EXPECT_TRUE(TextDrawn(u"c31"));
  EXPECT_FALSE(TextDrawn(u"c32"));
  EXPECT_FALSE(TextDrawn(u"a0"));
  Paint(1);
  EXPECT_TRUE(TextDrawn(u"a51"));
  EXPECT_FALSE(TextDrawn(u"c0"));
}

TEST_F(PainterTest, AdvancedTextsShowTheRecorder) {
  state_.PressCount = 3;
  state_.ReleaseCount = 12;
  view_.HoverAdvanced = 45;
  const struct {
    std::uint8_t verSel;
    bool recording;
    std::u16string text;
  } cases[] = {{1, false, u"Record"}, {1, true, u"Stop"}, {0, false, u"저장"}, {0, true, u"멈춤"}};
  for (const auto& c : cases) {
    state_.VER_SEL = c.verSel;
    state_.Recording = c.recording;
    Paint(1);
    const auto record = TextDrawn(c.text);
    ASSERT_TRUE(record) << Utf16ToUtf8(c.text);
    EXPECT_EQ(record->colour, kBlack);
    EXPECT_EQ(state_.Skin.Advanced.labels[4], c.text);
  }
  EXPECT_EQ(TextDrawn(u"[↓]3")->colour, kWhite);
  EXPECT_EQ(TextDrawn(u"[↑]12")->colour, kWhite);
  EXPECT_EQ(state_.Skin.Advanced.labels[43], u"[↓]3");
  EXPECT_EQ(TextDrawn(u"a46")->colour, kWhite);
  EXPECT_EQ(TextDrawn(u"a45")->colour, kRed);  // hovered, whatever its colour
  EXPECT_EQ(TextDrawn(u"a47")->colour, kBlack);
}

TEST_F(PainterTest, ColourTextsShowTheCurrentLevelsDpi) {
  auto& s = state_.Settings;
  s.DPI_SET = {0, 7, 200, 0, 0, 0};
  const std::pair<std::int32_t, std::u16string> cases[] = {{0, u"200"}, {1, u"2000"}, {2, u"4800"}};
  for (const auto& [level, dpi] : cases) {
    s.DPI_LEVEL = level;
    Paint(2);
    const auto op = TextDrawn(dpi);
    ASSERT_TRUE(op) << level;
    EXPECT_EQ(op->colour, kWhite);
    EXPECT_FALSE(TextDrawn(u"c18"));
  }
  view_.HoverColour = 18;
  Paint(2);
  EXPECT_EQ(TextDrawn(u"4800")->colour, kRed);
  EXPECT_EQ(TextDrawn(u"c21")->colour, kWhite);
  EXPECT_EQ(TextDrawn(u"c30")->colour, kWhite);
  EXPECT_EQ(TextDrawn(u"c31")->colour, kBlack);
  view_.HoverColour = 20;  // no other colour row turns red
  Paint(2);
  EXPECT_EQ(TextDrawn(u"c20")->colour, kBlack);

  ASSERT_TRUE(TextOf(18, kColourY));
  s.DPI_LEVEL = 6;  // no such level: no number
  Paint(2);
  EXPECT_FALSE(TextOf(18, kColourY));
}

TEST_F(PainterTest, MissingImagesCopyNothing) {
  images_.missing = {"main_normal.jpg", "main_over.jpg"};
  view_.HoverMain = 50;
  Paint(0);
  for (const Op& op : canvas_.ops) {
    if (op.kind == Op::Copy) {
      EXPECT_EQ(op.layer, "main_down.jpg");
    }
  }
  EXPECT_TRUE(TextDrawn(u"m0"));
}

TEST_F(PainterTest, HoverValuesBeyondThePagesCopyNothing) {
  view_.HoverMain = 200;
  view_.HoverAdvanced = 60;
  view_.HoverColour = 40;
  state_.PreviewGray = true;
  for (int page : {0, 1, 2}) {
    Paint(page);
    for (const Op& op : canvas_.ops) {
      if (op.kind == Op::Copy) {
        EXPECT_EQ(op.layer.find("over"), std::string::npos) << "page " << page;
      }
    }
  }
}

}  // namespace
}  // namespace tolvar
