#include <gtest/gtest.h>

#include <array>
#include <random>

#include "per_pixel_mask_region.h"
#include "skin/mask_region.h"
#include "test_image.h"

namespace tolvar {
namespace {

// The region as a plain grid of flags over a window that covers every
// rectangle the tests use.
constexpr int kGridMin = -4;
constexpr int kGridMax = 24;
constexpr int kGridSize = kGridMax - kGridMin;

class PixelModel {
 public:
  void Apply(const Rect& r, bool exclusiveOr) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        bool& cell = At(x, y);
        cell = exclusiveOr ? !cell : false;
      }
    }
  }
  bool Get(int x, int y) const { return cells_[Index(x, y)]; }

 private:
  static std::size_t Index(int x, int y) {
    return static_cast<std::size_t>((y - kGridMin) * kGridSize + (x - kGridMin));
  }
  bool& At(int x, int y) { return cells_[Index(x, y)]; }
  std::array<bool, kGridSize * kGridSize> cells_{};
};

void ExpectSamePixels(const Region& region, const PixelModel& model, const std::string& context) {
  for (int y = kGridMin; y < kGridMax; ++y) {
    for (int x = kGridMin; x < kGridMax; ++x) {
      ASSERT_EQ(region.Contains(x, y), model.Get(x, y)) << context << " at " << x << "," << y;
    }
  }
}

// Rects() must be what a platform region takes as is: sorted by top then
// left, one height per band, bands never overlapping, rectangles of a band
// never touching.
void ExpectBanded(const Region& region) {
  const std::vector<Rect> rects = region.Rects();
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const Rect& r = rects[i];
    ASSERT_LT(r.left, r.right);
    ASSERT_LT(r.top, r.bottom);
    if (i == 0) continue;
    const Rect& p = rects[i - 1];
    if (p.top == r.top) {
      ASSERT_EQ(p.bottom, r.bottom);
      ASSERT_LT(p.right, r.left);
    } else {
      ASSERT_LE(p.bottom, r.top);
    }
  }
}

TEST(RegionTest, RandomCombinationsMatchThePixelModel) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> coordinate(kGridMin, kGridMax);
  std::bernoulli_distribution exclusiveOr(0.7);
  for (int round = 0; round < 200; ++round) {
    Region region;
    PixelModel model;
    for (int step = 0; step < 12; ++step) {
      const int x0 = coordinate(random), x1 = coordinate(random);
      const int y0 = coordinate(random), y1 = coordinate(random);
      const Rect rect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
      const bool isXor = exclusiveOr(random);
      if (isXor) {
        region.Xor(rect);
      } else {
        region.Subtract(rect);
      }
      model.Apply(rect, isXor);
      ExpectSamePixels(region, model, "round " + std::to_string(round) + " step " + std::to_string(step));
      ExpectBanded(region);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(RegionTest, TheSamePixelsGiveEqualRegions) {
  // Two touching halves, built in different orders, equal the whole rectangle.
  Region whole(Rect{0, 0, 10, 6});
  Region halves;
  halves.Xor({5, 0, 10, 6});
  halves.Xor({0, 3, 5, 6});
  halves.Xor({0, 0, 5, 3});
  EXPECT_EQ(halves, whole);

  Region holes(Rect{0, 0, 10, 6});
  holes.Xor({2, 2, 4, 4});
  holes.Xor({2, 2, 4, 4});
  EXPECT_EQ(holes, whole);

  Region emptied(Rect{0, 0, 10, 6});
  emptied.Subtract({-1, -1, 11, 7});
  EXPECT_TRUE(emptied.IsEmpty());
  EXPECT_EQ(emptied, Region());
}

TEST(RegionTest, EmptyRectanglesChangeNothing) {
  Region region(Rect{0, 0, 4, 4});
  const Region before = region;
  for (const Rect& r : {Rect{2, 2, 2, 8}, Rect{2, 2, 8, 2}, Rect{5, 5, 1, 1}}) {
    region.Xor(r);
    region.Subtract(r);
  }
  EXPECT_EQ(region, before);
  EXPECT_TRUE(Region(Rect{3, 3, 1, 9}).IsEmpty());
}

struct MaskCase {
  const char* name;
  std::uint8_t r, g, b;
  bool light;
};

TEST(MaskRegionTest, LightPixelsHaveAllChannelsAbove100) {
  const MaskCase cases[] = {
      {"white", 255, 255, 255, true},
      {"101 everywhere", 101, 101, 101, true},
      {"100 everywhere", 100, 100, 100, false},
      {"red at 100", 100, 255, 255, false},
      {"green at 100", 255, 100, 255, false},
      {"blue at 100", 255, 255, 100, false},
      {"black", 0, 0, 0, false},
      {"dark blue", 0, 0, 255, false},
  };
  for (const auto& c : cases) {
    TestImage image(3, 3, 0, 0, 0);
    image.Set(1, 1, c.r, c.g, c.b);
    const MaskShape shape = MaskRegion(image);
    EXPECT_EQ(shape.region.Contains(1, 1), !c.light) << c.name;
    EXPECT_TRUE(shape.region.Contains(0, 0)) << c.name;
    EXPECT_TRUE(shape.region.Contains(2, 2)) << c.name;
  }
}

TEST(MaskRegionTest, UniformMasks) {
  const MaskShape dark = MaskRegion(TestImage(7, 5, 100, 200, 255));
  EXPECT_EQ(dark.width, 7);
  EXPECT_EQ(dark.height, 5);
  EXPECT_EQ(dark.region, Region(Rect{0, 0, 7, 5}));

  const MaskShape white = MaskRegion(TestImage(7, 5, 255, 255, 255));
  EXPECT_EQ(white.width, 7);
  EXPECT_EQ(white.height, 5);
  EXPECT_TRUE(white.region.IsEmpty());

  const MaskShape none = MaskRegion(TestImage(0, 0));
  EXPECT_EQ(none.width, 0);
  EXPECT_TRUE(none.region.IsEmpty());
}

TEST(MaskRegionTest, RandomMasksMatchTheCutOutOfEachPixel) {
  std::mt19937 random(7);
  // Channel values near the limit, so that every mix of channels occurs.
  std::uniform_int_distribution<int> channel(98, 103);
  std::uniform_int_distribution<int> side(1, 23);
  for (int round = 0; round < 60; ++round) {
    TestImage image(side(random), side(random));
    for (int y = 0; y < image.Height(); ++y) {
      for (int x = 0; x < image.Width(); ++x) {
        image.Set(x, y, static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(channel(random)),
                  static_cast<std::uint8_t>(channel(random)));
      }
    }
    const MaskShape fast = MaskRegion(image);
    const MaskShape reference = PerPixelMaskRegion(image);
    ASSERT_EQ(fast.region, reference.region) << "round " << round;
    EXPECT_EQ(fast.width, reference.width);
    EXPECT_EQ(fast.height, reference.height);
    for (int y = -1; y <= image.Height(); ++y) {
      for (int x = -1; x <= image.Width(); ++x) {
        bool window = false;
        if (x >= 0 && y >= 0 && x < image.Width() && y < image.Height()) {
          const auto* p = image.RgbRow(y).data() + x * 3;
          window = !(p[0] > 100 && p[1] > 100 && p[2] > 100);
        }
        ASSERT_EQ(fast.region.Contains(x, y), window) << "round " << round << " at " << x << "," << y;
      }
    }
  }
}

class MissingFileReader : public ImageFileReader {
 public:
  std::unique_ptr<ImageSource> ReadPixels(const std::string&) override { return nullptr; }
};

TEST(MaskRegionTest, AMissingMaskGivesNoShape) {
  MissingFileReader reader;
  const MaskShape shape = MaskRegion(reader, "/nowhere/main_mask.jpg");
  EXPECT_EQ(shape.width, 0);
  EXPECT_EQ(shape.height, 0);
  EXPECT_TRUE(shape.region.IsEmpty());
}

TEST(ControlFreeRegionTest, CutsOutTheControlAreasOnly) {
  // A 20 x 12 window whose top-right corner is transparent.
  TestImage mask(20, 12);
  for (int y = 0; y < 3; ++y) {
    for (int x = 16; x < 20; ++x) mask.Set(x, y, 255, 255, 255);
  }
  const MaskShape shape = MaskRegion(mask);
  AdvancedAreas areas;
  areas.NameEditArea = {1, 1, 4, 3};
  areas.EventListArea = {2, 2, 6, 6};    // overlaps the name edit
  areas.MacroListArea = {14, 0, 22, 5};  // reaches over the transparent corner
  areas.CutOutArea = {8, 8, 10, 10};
  areas.RepeatEditArea = {12, 8, 14, 10};
  const Region free = ControlFreeRegion(shape.region, areas);

  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inControl = (x >= 1 && x < 4 && y >= 1 && y < 3) || (x >= 2 && x < 6 && y >= 2 && y < 6) ||
                             (x >= 14 && y < 5) || (x >= 8 && x < 10 && y >= 8 && y < 10);
      EXPECT_EQ(free.Contains(x, y), shape.region.Contains(x, y) && !inControl) << x << "," << y;
    }
  }
  EXPECT_TRUE(free.Contains(12, 8));   // the repeat-count edit is repainted
  EXPECT_FALSE(free.Contains(17, 1));  // transparent corner stays outside
}

}  // namespace
}  // namespace tolvar
