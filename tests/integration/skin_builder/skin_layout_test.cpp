// The delivered layout files, read by the program's loaders: every row with
// a role is there, both languages share the rectangles the images were
// painted for, every control can be reached and lies inside the window.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "integration/skin_builder/delivered_skin.h"
#include "skin/hot_spots.h"

namespace tolvar::testing {
namespace {

// The rows of each page that have a role: texts, controls and pictures.
const std::vector<RowRange> kMainRoles = {
    main_row::kTexts,
    {main_row::kLevelSelectors.first, main_row::kAssignments.last + main_row::kAssignmentHoverOffset}};
const std::vector<RowRange> kColourRoles = {{colour_row::kTexts.first, colour_row::kPreview}};
const std::vector<RowRange> kAdvancedRoles = {advanced_row::kTexts};
const std::vector<RowRange> kWarningRoles = {warning_row::kTexts};

struct Spot {
  const char* page;
  int row;
  HotSpot spot;
};

template <std::size_t N>
void AddRows(std::vector<Spot>& out, const char* name, const SkinPage<N>& page, RowRange rows) {
  for (int row = rows.first; row <= rows.last; ++row) out.push_back({name, row, page.Spot(row)});
}

template <std::size_t N>
void AddRows(std::vector<Spot>& out, const char* name, const SkinPage<N>& page, const std::vector<RowRange>& ranges) {
  for (const RowRange& range : ranges) AddRows(out, name, page, range);
}

bool Overlap(const HotSpot& a, const HotSpot& b) { return ToQRect(a).intersects(ToQRect(b)); }

bool IsLight(QRgb pixel) { return qRed(pixel) > 100 && qGreen(pixel) > 100 && qBlue(pixel) > 100; }

// Every pixel of the rectangle belongs to the shape the mask gives.
bool InsideShape(const QImage& mask, const QRect& rect) {
  if (!mask.rect().contains(rect)) return false;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      if (IsLight(mask.pixel(x, y))) return false;
    }
  }
  return true;
}

class DeliveredLayout : public ::testing::TestWithParam<std::uint8_t> {
 protected:
  void SetUp() override {
    skin_ = LoadDeliveredSkin(GetParam());
    ASSERT_TRUE(skin_.loaded);
  }
  const SkinLayout& Layout() const { return skin_.layout; }

  std::vector<Spot> RoleRows() const {
    std::vector<Spot> rows;
    AddRows(rows, "main", Layout().Main, kMainRoles);
    AddRows(rows, "colour", Layout().Colour, kColourRoles);
    AddRows(rows, "advanced", Layout().Advanced, kAdvancedRoles);
    return rows;
  }

  std::vector<std::pair<const char*, Rect>> Areas() const {
    const AdvancedAreas& a = Layout().Areas;
    return {{"cut-out", a.CutOutArea},
            {"repeat edit", a.RepeatEditArea},
            {"name edit", a.NameEditArea},
            {"macro list", a.MacroListArea},
            {"event list", a.EventListArea}};
  }

  LoadedSkin skin_;
};

TEST_P(DeliveredLayout, LoadsWithoutAnyMessage) { EXPECT_TRUE(skin_.messages.empty()); }

TEST_P(DeliveredLayout, EveryRowWithARoleHasARectangle) {
  std::vector<Spot> rows = RoleRows();
  AddRows(rows, "warning", Layout().Warning, kWarningRoles);
  for (const Spot& s : rows) {
    EXPECT_TRUE(s.spot.width > 0 && s.spot.height > 0) << s.page << " row " << s.row;
  }
  for (const auto& [name, area] : Areas()) {
    EXPECT_TRUE(area.right > area.left && area.bottom > area.top) << name;
  }
}

TEST_P(DeliveredLayout, EveryFunctionHasAName) {
  for (int code = 1; code <= kFunctionLabelCount; ++code) {
    EXPECT_FALSE(FunctionLabel(Layout().FunctionLabels, code).empty()) << "code " << code;
  }
}

// The images serve both languages, so both files must place every row alike.
TEST_P(DeliveredLayout, RectanglesAreTheSameInBothLanguages) {
  const LoadedSkin other = LoadDeliveredSkin(GetParam() == 0 ? 1 : 0);
  ASSERT_TRUE(other.loaded);
  EXPECT_EQ(Layout().Main.spots, other.layout.Main.spots);
  EXPECT_EQ(Layout().Colour.spots, other.layout.Colour.spots);
  EXPECT_EQ(Layout().Advanced.spots, other.layout.Advanced.spots);
  EXPECT_EQ(Layout().Warning.spots, other.layout.Warning.spots);
  EXPECT_EQ(Layout().Areas, other.layout.Areas);
}

// Hit testing takes the first row that contains the point, and on the
// advanced and colour pages the header is tested together with the page's
// rows: an overlap would hide part of a control behind another.
TEST_P(DeliveredLayout, NoTwoTestedRowsOverlapOnAnyPage) {
  struct PageRows {
    const char* page;
    std::vector<Spot> rows;
  };
  std::vector<PageRows> pages(3);
  pages[0].page = "main page";
  AddRows(pages[0].rows, "main", Layout().Main, main_row::kTested);
  pages[1].page = "advanced page";
  AddRows(pages[1].rows, "main", Layout().Main, main_row::kHeader);
  AddRows(pages[1].rows, "advanced", Layout().Advanced, advanced_row::kTested);
  pages[2].page = "colour page";
  AddRows(pages[2].rows, "main", Layout().Main, main_row::kHeader);
  AddRows(pages[2].rows, "colour", Layout().Colour, colour_row::kTested);
  for (const PageRows& page : pages) {
    for (std::size_t i = 0; i < page.rows.size(); ++i) {
      for (std::size_t j = i + 1; j < page.rows.size(); ++j) {
        const Spot& a = page.rows[i];
        const Spot& b = page.rows[j];
        EXPECT_FALSE(Overlap(a.spot, b.spot))
            << page.page << ": " << a.page << " row " << a.row << " overlaps " << b.page << " row " << b.row;
      }
    }
  }
}

// The native controls lie over the page: they must cover no row of it, and
// the areas are cut out of one region one after the other, so they must
// not overlap each other either.
TEST_P(DeliveredLayout, NativeControlsCoverNothingAndEachOther) {
  std::vector<Spot> covered;
  AddRows(covered, "main", Layout().Main, main_row::kHeader);
  AddRows(covered, "advanced", Layout().Advanced, kAdvancedRoles);
  const auto areas = Areas();
  for (std::size_t i = 0; i < areas.size(); ++i) {
    const QRect area = ToQRect(areas[i].second);
    for (const Spot& s : covered) {
      EXPECT_FALSE(area.intersects(ToQRect(s.spot))) << areas[i].first << " covers " << s.page << " row " << s.row;
    }
    for (std::size_t j = i + 1; j < areas.size(); ++j) {
      // The cut-out exists to keep the repeat-count edit out of partial repaints.
      const bool cutOutAroundRepeatEdit = i == 0 && j == 1;
      if (cutOutAroundRepeatEdit) continue;
      EXPECT_FALSE(area.intersects(ToQRect(areas[j].second))) << areas[i].first << " overlaps " << areas[j].first;
    }
  }
  EXPECT_TRUE(ToQRect(Layout().Areas.CutOutArea).contains(ToQRect(Layout().Areas.RepeatEditArea)));
}

// A control in a transparent corner of the window could not be clicked.
TEST_P(DeliveredLayout, EverythingLiesInsideTheWindowShape) {
  const QImage mainMask = SkinImage("main_mask.jpg");
  ASSERT_FALSE(mainMask.isNull());
  for (const Spot& s : RoleRows()) {
    EXPECT_TRUE(InsideShape(mainMask, ToQRect(s.spot))) << s.page << " row " << s.row;
  }
  for (const auto& [name, area] : Areas()) {
    EXPECT_TRUE(InsideShape(mainMask, ToQRect(area))) << name;
  }
  const QImage warningMask = SkinImage("warning_mask.jpg");
  ASSERT_FALSE(warningMask.isNull());
  for (int row = 0; row <= 2; ++row) {
    EXPECT_TRUE(InsideShape(warningMask, ToQRect(Layout().Warning.Spot(row)))) << "warning row " << row;
  }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, DeliveredLayout, ::testing::Values(std::uint8_t{1}, std::uint8_t{0}),
                         [](const auto& info) { return info.param != 0 ? "English" : "Korean"; });

}  // namespace
}  // namespace tolvar::testing
