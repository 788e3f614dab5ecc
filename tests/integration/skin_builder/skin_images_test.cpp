// The delivered images against the layout: sizes the painter relies on,
// visible hover and pressed states for every control, labels that stay
// calm, one header on every page and a preview lit in each cycle colour.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "integration/skin_builder/delivered_skin.h"

namespace tolvar::testing {
namespace {

// Mean channel differences: what JPEG leaves between two drawings of the
// same thing, and what a state change must at least make.
constexpr double kSameDrawing = 3.0;
constexpr double kVisibleChange = 6.0;

struct Range {
  int first;
  int last;
};

struct PageImages {
  const char* normal;
  const char* over;
  const char* down;
};

const PageImages kMainImages{"main_normal.jpg", "main_over.jpg", "main_down.jpg"};
const PageImages kAdvancedImages{"advanced_normal.jpg", "advanced_over.jpg", "advanced_down.jpg"};
const PageImages kColourImages{"color_normal_gray.jpg", "color_over_yellow.jpg", "color_down_blue.jpg"};

class DeliveredImages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { skin_ = new LoadedSkin(LoadDeliveredSkin(1)); }
  static void TearDownTestSuite() {
    delete skin_;
    skin_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(skin_->loaded); }
  static const SkinLayout& Layout() { return skin_->layout; }

  static inline LoadedSkin* skin_ = nullptr;
};

TEST_F(DeliveredImages, EveryPageImageHasTheWindowsSize) {
  const QSize window = SkinImage("main_mask.jpg").size();
  ASSERT_FALSE(window.isEmpty());
  for (const char* name :
       {"main_normal.jpg", "main_over.jpg", "main_down.jpg", "advanced_normal.jpg", "advanced_over.jpg",
        "advanced_down.jpg", "color_normal_gray.jpg", "color_over_yellow.jpg", "color_down_blue.jpg", "color_pink.jpg",
        "color_green.jpg", "color_red.jpg", "color_cyan.jpg", "color_white.jpg"}) {
    EXPECT_EQ(SkinImage(name).size(), window) << name;
  }
  const QSize warning = SkinImage("warning_mask.jpg").size();
  ASSERT_FALSE(warning.isEmpty());
  EXPECT_EQ(SkinImage("warning_normal.jpg").size(), warning);
  EXPECT_EQ(SkinImage("warning_over.jpg").size(), warning);
}

// The popups paint items x item height + 1 lines of their images, the item
// height being the mask's height divided by the number of items.
TEST_F(DeliveredImages, PopupImagesCoverEveryPaintedItem) {
  struct Popup {
    const char* prefix;
    int items;
  };
  for (const Popup& popup : {Popup{"menu_", 10}, Popup{"advanced menu_", 12}}) {
    const QImage mask = SkinImage(std::string(popup.prefix) + "mask.jpg");
    const int itemHeight = mask.height() / popup.items;
    ASSERT_GT(itemHeight, 0) << popup.prefix;
    for (const char* state : {"normal.jpg", "over.jpg", "down.jpg"}) {
      const QImage image = SkinImage(std::string(popup.prefix) + state);
      EXPECT_EQ(image.width(), mask.width()) << popup.prefix << state;
      EXPECT_GE(image.height(), popup.items * itemHeight + 1) << popup.prefix << state;
    }
  }
}

TEST_F(DeliveredImages, MasksAreDarkInsideAndLightOutsideTheirCorners) {
  for (const char* name : {"main_mask.jpg", "warning_mask.jpg"}) {
    const QImage mask = SkinImage(name);
    const QRect r = mask.rect();
    for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
      const QRgb p = mask.pixel(corner);
      EXPECT_TRUE(qRed(p) > 100 && qGreen(p) > 100 && qBlue(p) > 100) << name << " corner";
    }
    const QRgb centre = mask.pixel(r.center());
    EXPECT_LT(std::max({qRed(centre), qGreen(centre), qBlue(centre)}), 60) << name << " centre";
  }
}

struct StateCase {
  const char* page;
  PageImages images;
  std::vector<Range> controls;  // change on hover and on press
  std::vector<Range> labels;    // look the same in all three images
};

template <std::size_t N>
void CheckStates(const StateCase& c, const SkinPage<N>& layout) {
  const QImage normal = SkinImage(c.images.normal);
  const QImage over = SkinImage(c.images.over);
  const QImage down = SkinImage(c.images.down);
  for (const Range& range : c.controls) {
    for (int row = range.first; row <= range.last; ++row) {
      const QRect r = ToQRect(layout.Spot(row));
      EXPECT_GT(MeanDifference(normal, over, r), kVisibleChange) << c.page << " row " << row << " hovered";
      EXPECT_GT(MeanDifference(normal, down, r), kVisibleChange) << c.page << " row " << row << " pressed";
      EXPECT_GT(MeanDifference(over, down, r), kVisibleChange) << c.page << " row " << row << " hovered vs pressed";
    }
  }
  for (const Range& range : c.labels) {
    for (int row = range.first; row <= range.last; ++row) {
      const QRect r = ToQRect(layout.Spot(row));
      EXPECT_LT(MeanDifference(normal, over, r), kSameDrawing) << c.page << " label row " << row << " hovered";
      EXPECT_LT(MeanDifference(normal, down, r), kSameDrawing) << c.page << " label row " << row << " pressed";
    }
  }
}

TEST_F(DeliveredImages, ControlsShowHoverAndPressLabelsStayCalm) {
  CheckStates(
      {"main", kMainImages, {{0, 0}, {2, 25}, {32, 33}, {47, 52}, {60, 137}}, {{1, 1}, {26, 31}, {34, 40}, {53, 58}}},
      Layout().Main);
  CheckStates({"colour", kColourImages, {{0, 16}}, {{17, 31}}}, Layout().Colour);
  CheckStates({"advanced", kAdvancedImages, {{0, 27}, {30, 32}, {34, 37}}, {{28, 29}, {33, 33}, {38, 51}}},
              Layout().Advanced);
}

// The assignment buttons' hover pictures: lit while hovered, and still lit
// while the picture itself is pressed.
TEST_F(DeliveredImages, MouseButtonPicturesLightUp) {
  const QImage normal = SkinImage(kMainImages.normal);
  const QImage over = SkinImage(kMainImages.over);
  const QImage down = SkinImage(kMainImages.down);
  for (int row = 138; row <= 143; ++row) {
    const QRect r = ToQRect(Layout().Main.Spot(row));
    EXPECT_GT(MeanDifference(normal, over, r), kVisibleChange) << "row " << row;
    EXPECT_LT(MeanDifference(over, down, r), kSameDrawing) << "row " << row;
  }
}

TEST_F(DeliveredImages, WarningButtonsShowHover) {
  const QImage normal = SkinImage("warning_normal.jpg");
  const QImage over = SkinImage("warning_over.jpg");
  for (int row = 0; row <= 1; ++row) {
    EXPECT_GT(MeanDifference(normal, over, ToQRect(Layout().Warning.Spot(row))), kVisibleChange) << "row " << row;
  }
  EXPECT_LT(MeanDifference(normal, over, ToQRect(Layout().Warning.Spot(2))), kSameDrawing) << "message";
}

TEST_F(DeliveredImages, PopupBandsShowHoverAndPress) {
  struct Popup {
    const char* prefix;
    int items;
  };
  for (const Popup& popup : {Popup{"menu_", 10}, Popup{"advanced menu_", 12}}) {
    const int h = SkinImage(std::string(popup.prefix) + "mask.jpg").height() / popup.items;
    const QImage normal = SkinImage(std::string(popup.prefix) + "normal.jpg");
    const QImage over = SkinImage(std::string(popup.prefix) + "over.jpg");
    const QImage down = SkinImage(std::string(popup.prefix) + "down.jpg");
    for (int item = 1; item <= popup.items; ++item) {
      const QRect band(0, (item - 1) * h, normal.width(), h);
      EXPECT_GT(MeanDifference(normal, over, band), kVisibleChange) << popup.prefix << item;
      EXPECT_GT(MeanDifference(over, down, band), kVisibleChange) << popup.prefix << item;
    }
  }
}

// Rows 0..19 are drawn from whichever page is shown: the three pages must
// show the same header in each state.
TEST_F(DeliveredImages, HeaderIsTheSameOnEveryPage) {
  const std::array<std::array<const char*, 3>, 3> states = {{
      {kMainImages.normal, kAdvancedImages.normal, kColourImages.normal},
      {kMainImages.over, kAdvancedImages.over, kColourImages.over},
      {kMainImages.down, kAdvancedImages.down, kColourImages.down},
  }};
  for (const auto& state : states) {
    const QImage main = SkinImage(state[0]);
    for (const char* other : {state[1], state[2]}) {
      const QImage page = SkinImage(other);
      for (int row = 0; row <= 19; ++row) {
        EXPECT_LT(MeanDifference(main, page, ToQRect(Layout().Main.Spot(row))), kSameDrawing)
            << other << " header row " << row;
      }
    }
  }
}

// The preview area of each image shows the mouse lit in its cycle colour:
// the channels that make the colour rise above the gray picture, the others
// much less.
TEST_F(DeliveredImages, PreviewIsLitInEachCycleColour) {
  struct Lit {
    const char* file;
    std::array<bool, 3> strong;  // red, green, blue
  };
  const Lit cases[] = {
      {"color_over_yellow.jpg", {true, true, false}}, {"color_down_blue.jpg", {false, false, true}},
      {"color_pink.jpg", {true, false, true}},        {"color_green.jpg", {false, true, false}},
      {"color_red.jpg", {true, false, false}},        {"color_cyan.jpg", {false, true, true}},
      {"color_white.jpg", {true, true, true}},
  };
  const QImage gray = SkinImage("color_normal_gray.jpg");
  const QRect preview = ToQRect(Layout().Colour.Spot(32));
  ASSERT_FALSE(preview.isEmpty());
  double graySpread = 0;
  for (int y = preview.top(); y <= preview.bottom(); ++y) {
    for (int x = preview.left(); x <= preview.right(); ++x) {
      const QRgb p = gray.pixel(x, y);
      graySpread += std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
    }
  }
  EXPECT_LT(graySpread / (preview.width() * preview.height()), 4.0) << "the unlit preview is gray";

  for (const Lit& lit : cases) {
    const QImage image = SkinImage(lit.file);
    std::array<double, 3> rise{};
    for (int y = preview.top(); y <= preview.bottom(); ++y) {
      for (int x = preview.left(); x <= preview.right(); ++x) {
        const QRgb p = image.pixel(x, y);
        const QRgb q = gray.pixel(x, y);
        rise[0] += qRed(p) - qRed(q);
        rise[1] += qGreen(p) - qGreen(q);
        rise[2] += qBlue(p) - qBlue(q);
      }
    }
    double weakest = 1e9;
    double strongestOther = -1e9;
    for (std::size_t c = 0; c < 3; ++c) {
      rise[c] /= preview.width() * preview.height();
      if (lit.strong[c])
        weakest = std::min(weakest, rise[c]);
      else
        strongestOther = std::max(strongestOther, rise[c]);
    }
    EXPECT_GT(weakest, 4.0) << lit.file;
    if (strongestOther > -1e9) {
      EXPECT_GT(weakest, 2 * std::max(strongestOther, 0.0) + 2) << lit.file;
    }
  }
}

}  // namespace
}  // namespace tolvar::testing
