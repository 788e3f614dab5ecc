// The main window as the display shows it: its title and size, the main
// page painted from the skin and the profile, and the shape of its mask.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "skin/skin_layout.h"
#include "support/program_under_test.h"
#include "x11_session.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;
constexpr int kWidth = 900;
constexpr int kHeight = 560;

// Rows of the main page's layout.
constexpr int kProfileButtonRow = 4;  // + profile number − 1
constexpr int kSwatchRow = 41;        // + level
constexpr int kFirstStepRow = 66;     // + 12 × level + step

// Shown colours of the levels below: each channel 255 − 16 × its value.
constexpr Pixel kRed{255, 15, 15};    // R 0, G 15, B 15
constexpr Pixel kGreen{15, 255, 15};  // R 15, G 0, B 15

// A rectangle of the delivered main layout (English).
ScreenRect MainRow(const std::string& appDir, int row) {
  IniFileStore ini;
  const std::u16string value =
      ini.Read(appDir + "/skins/INI_EN/skin_main_en.ini", u"BUTTONPOS", Utf8ToUtf16(std::to_string(row)), 260);
  const SkinRow fields = SplitSkinRow(value).fields;
  return {ParseDecimal(fields[1]), ParseDecimal(fields[2]), ParseDecimal(fields[3]), ParseDecimal(fields[4])};
}

Pixel CentreOf(const WindowImage& image, const ScreenRect& r) {
  return image.At(r.x + r.width / 2, r.y + r.height / 2);
}

bool InShape(const std::vector<ScreenRect>& shape, int x, int y) {
  for (const ScreenRect& r : shape) {
    if (r.Contains(x, y)) return true;
  }
  return false;
}

std::string Text(const Pixel& p) {
  return "(" + std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) + ")";
}

class MainWindowE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    x_ = X11Session::Open();
    ASSERT_NE(x_, nullptr) << "cannot open the display " << test_.Display();
    // Level 0 red with 4 steps, level 1 green with 1 step.
    test_.WriteConfig(ConfigWithProfile(2, {{"DPI_SET0", "3"},
                                            {"DPI0_R", "0"},
                                            {"DPI0_G", "15"},
                                            {"DPI0_B", "15"},
                                            {"DPI_SET1", "0"},
                                            {"DPI1_R", "15"},
                                            {"DPI1_G", "0"},
                                            {"DPI1_B", "15"}}));
    test_.StartSimulator();
    test_.StartProgram();
    ASSERT_TRUE(test_.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";
    ASSERT_TRUE(WaitUntil(
        [&] { return (window_ = x_->WindowTitled(test_.Program().Pid(), "Quarrion DORVEL_KITE7")).has_value(); }, 20s))
        << "no window titled \"Quarrion DORVEL_KITE7\" was shown";
  }

  ProgramUnderTest test_;  // first: its display outlives the connection to it
  std::unique_ptr<X11Session> x_;
  std::optional<XWindowId> window_;
};

TEST_F(MainWindowE2eTest, ShowsTheMainPagePaintedFromTheProfile) {
  const std::optional<ScreenRect> place = x_->Geometry(*window_);
  ASSERT_TRUE(place.has_value());
  EXPECT_EQ(place->width, kWidth);
  EXPECT_EQ(place->height, kHeight);

  const ScreenRect swatch0 = MainRow(test_.AppDir(), kSwatchRow);
  // Painted once the swatch shows its colour and two pictures in a row agree
  // (raising the window for the picture makes it repaint what was hidden).
  std::optional<WindowImage> image;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::optional<WindowImage> earlier = image;
        image = x_->Capture(*window_);
        return image && image->width == kWidth && CentreOf(*image, swatch0) == kRed && earlier &&
               earlier->pixels == image->pixels;
      },
      20s))
      << "the swatch of DPI level 0 never showed the level's colour: "
      << (image && image->width == kWidth ? Text(CentreOf(*image, swatch0)) : "no picture");

  EXPECT_EQ(CentreOf(*image, MainRow(test_.AppDir(), kSwatchRow + 1)), kGreen);
  // The cells of steps 0..DPI_SET of a level take its colour, the others not.
  for (int step = 0; step < 12; ++step) {
    const Pixel level0 = CentreOf(*image, MainRow(test_.AppDir(), kFirstStepRow + step));
    const Pixel level1 = CentreOf(*image, MainRow(test_.AppDir(), kFirstStepRow + 12 + step));
    EXPECT_EQ(level0 == kRed, step <= 3) << "level 0, step " << step << ": " << Text(level0);
    EXPECT_EQ(level1 == kGreen, step == 0) << "level 1, step " << step << ": " << Text(level1);
  }

  // The skin's pictures: the current profile's button (profile 2) shows
  // pressed, profile 1's does not (looked at beside their centred labels),
  // and the page is far from one flat colour.
  const auto besideLabel = [&](int row) {
    const ScreenRect r = MainRow(test_.AppDir(), row);
    return image->At(r.x + 6, r.y + r.height / 2);
  };
  const Pixel current = besideLabel(kProfileButtonRow + 1);
  EXPECT_NE(current, kRed);
  EXPECT_NE(current, besideLabel(kProfileButtonRow)) << "profile buttons 1 and 2 look alike: " << Text(current);
  std::set<std::uint32_t> colours;
  for (const Pixel& p : image->pixels) colours.insert((p.r << 16) | (p.g << 8) | p.b);
  EXPECT_GT(colours.size(), 50u);
}

TEST_F(MainWindowE2eTest, WindowHasTheShapeOfItsMask) {
  const std::vector<ScreenRect> shape = x_->BoundingShape(*window_);
  ASSERT_FALSE(shape.empty());
  // The mask's rounded corners are light: cut out. Its inside is dark: kept.
  for (const auto& [px, py] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}}) {
    EXPECT_FALSE(InShape(shape, px, py)) << "corner " << px << ", " << py;
  }
  for (const auto& [px, py] : {std::pair{kWidth / 2, kHeight / 2}, {20, 20}, {kWidth / 2, 0}, {0, kHeight / 2}}) {
    EXPECT_TRUE(InShape(shape, px, py)) << "inside " << px << ", " << py;
  }
  for (const ScreenRect& r : shape) {
    EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= kWidth && r.y + r.height <= kHeight)
        << "a piece outside the mask: " << r.x << ", " << r.y << ", " << r.width << " x " << r.height;
  }
}

}  // namespace
}  // namespace tolvar::testing
