#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "platform/qt/main_window_paint.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_image_cache.h"
#include "platform/qt/qt_region.h"
#include "skin/mask_region.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;

class SkinQtTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() == nullptr) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      static int argc = 1;
      static char name[] = "skin_qt_tests";
      static char* argv[] = {name, nullptr};
      static QGuiApplication app(argc, argv);
    }
  }
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvar-skin-qt-" + std::to_string(::getpid()) + "-" +
                                        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  // A JPEG of one colour, or with a second colour in a rectangle.
  std::string WriteJpeg(const std::string& name, QColor colour, QSize size = {40, 30}, QRect patch = {},
                        QColor patchColour = Qt::white) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    for (int y = patch.top(); y <= patch.bottom(); ++y) {
      for (int x = patch.left(); x <= patch.right(); ++x) image.setPixelColor(x, y, patchColour);
    }
    const std::string path = PathOf(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "JPG", 100));
    return path;
  }

  static void ExpectNear(QColor actual, QColor expected, const char* what) {
    EXPECT_NEAR(actual.red(), expected.red(), 12) << what;
    EXPECT_NEAR(actual.green(), expected.green(), 12) << what;
    EXPECT_NEAR(actual.blue(), expected.blue(), 12) << what;
  }

  fs::path dir_;
};

TEST_F(SkinQtTest, TheImageCacheDecodesOnceAndNoticesChanges) {
  QtImageCache cache;
  const std::string path = WriteJpeg("layer.jpg", Qt::red);
  const auto first = cache.LoadImage(path);
  ASSERT_TRUE(first);
  ExpectNear(first->Image().pixelColor(5, 5), Qt::red, "first decode");
  EXPECT_EQ(cache.LoadImage(path), first);  // kept, not decoded again

  // Rewritten in place, even with its modification time set back.
  const auto originalTime = fs::last_write_time(path);
  WriteJpeg("layer.jpg", Qt::blue);
  fs::last_write_time(path, originalTime);
  const auto rewritten = cache.LoadImage(path);
  ASSERT_TRUE(rewritten);
  EXPECT_NE(rewritten, first);
  ExpectNear(rewritten->Image().pixelColor(5, 5), Qt::blue, "after rewrite");
  EXPECT_EQ(cache.LoadImage(path), rewritten);

  // Replaced by another file (a new inode) with the old time.
  const auto time = fs::last_write_time(path);
  WriteJpeg("other.jpg", Qt::green);
  fs::last_write_time(PathOf("other.jpg"), time);
  fs::rename(PathOf("other.jpg"), path);
  auto replaced = cache.LoadImage(path);
  ASSERT_TRUE(replaced);
  ExpectNear(replaced->Image().pixelColor(5, 5), Qt::green, "after replace");

  // Cleared (the window was hidden), the cache holds no layer; the next
  // load decodes the file again.
  const std::weak_ptr<const QtLayerImage> held = replaced;
  cache.Clear();
  EXPECT_FALSE(held.expired()) << "a layer in use stays with its user";
  replaced.reset();
  EXPECT_TRUE(held.expired()) << "the cleared cache must not keep the layer";
  const auto again = cache.LoadImage(path);
  ASSERT_TRUE(again);
  ExpectNear(again->Image().pixelColor(5, 5), Qt::green, "decoded again after the clear");

  fs::remove(path);
  EXPECT_FALSE(cache.LoadImage(path));
  EXPECT_FALSE(cache.LoadImage(PathOf("never.jpg")));

  std::ofstream(PathOf("broken.jpg")) << "not an image";
  EXPECT_FALSE(cache.LoadImage(PathOf("broken.jpg")));
  EXPECT_FALSE(cache.LoadImage(dir_.string()));  // a folder is no image
}

TEST_F(SkinQtTest, LayersDecodedAheadServeTheNextLoadWhileTheirFileIsUnchanged) {
  QtImageCache cache;
  const std::string path = WriteJpeg("ahead.jpg", Qt::red);
  std::atomic<bool> alongside{false};
  cache.DecodeAhead({path}, [&] { alongside = true; });
  const auto layer = cache.LoadImage(path);
  ASSERT_TRUE(layer);
  ExpectNear(layer->Image().pixelColor(5, 5), Qt::red, "decoded ahead");
  cache.Clear();  // also waits for the threads
  EXPECT_TRUE(alongside.load());

  // Changed after it was decoded ahead: the file's new content is shown.
  cache.DecodeAhead({path}, {});
  WriteJpeg("ahead.jpg", Qt::blue);
  fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
  const auto changed = cache.LoadImage(path);
  ASSERT_TRUE(changed);
  ExpectNear(changed->Image().pixelColor(5, 5), Qt::blue, "changed after the decode ahead");
}

TEST_F(SkinQtTest, MaskPixelsComeFromTheDecodedFile) {
  const std::string path = WriteJpeg("mask.jpg", Qt::black, {40, 30}, QRect(10, 5, 20, 10), Qt::white);
  QtImageFileReader reader;
  const MaskShape shape = MaskRegion(reader, path);
  EXPECT_EQ(shape.width, 40);
  EXPECT_EQ(shape.height, 30);
  EXPECT_TRUE(shape.region.Contains(2, 2));
  EXPECT_FALSE(shape.region.Contains(20, 10));
  EXPECT_TRUE(shape.region.Contains(35, 25));
  EXPECT_FALSE(shape.region.Contains(40, 0));

  const MaskShape missing = MaskRegion(reader, PathOf("none.jpg"));
  EXPECT_EQ(missing.width, 0);
  EXPECT_TRUE(missing.region.IsEmpty());
}

TEST_F(SkinQtTest, QRegionHoldsTheSamePixels) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> coordinate(0, 30);
  for (int round = 0; round < 40; ++round) {
    Region region;
    for (int step = 0; step < 8; ++step) {
      const int x0 = coordinate(random), x1 = coordinate(random), y0 = coordinate(random), y1 = coordinate(random);
      region.Xor({std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)});
    }
    const QRegion qt = ToQRegion(region);
    for (int y = -1; y <= 31; ++y) {
      for (int x = -1; x <= 31; ++x) {
        ASSERT_EQ(qt.contains(QPoint(x, y)), region.Contains(x, y)) << round << " at " << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(ToQRegion(Region()).isEmpty());
}

// A font asked for without a height (the menus' own) keeps the default size
// without a warning from the toolkit on every menu drawn.
TEST_F(SkinQtTest, AFontWithoutHeightKeepsTheDefaultSizeQuietly) {
  static int warnings = 0;
  warnings = 0;
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString&) {
        if (type != QtDebugMsg) ++warnings;
      });
  const QFont font = QtFontFor(FontSpec{});
  qInstallMessageHandler(previous);
  EXPECT_EQ(warnings, 0);
  EXPECT_EQ(font.pointSizeF(), QFont().pointSizeF());
}

TEST_F(SkinQtTest, TheCanvasCopiesFillsAndWrites) {
  QtImageCache cache;
  const auto layer = cache.Load(WriteJpeg("over.jpg", Qt::yellow, {40, 30}));
  ASSERT_TRUE(layer);
  QImage target(50, 40, QImage::Format_RGB32);
  target.fill(Qt::black);
  {
    QtCanvas canvas(target);
    canvas.CopyFromLayer(*layer, {5, 5, 10, 10});
    canvas.CopyFromLayer(*layer, {35, 25, 30, 30});  // reaches past the layer and the target
    canvas.CopyFromLayer(*layer, {-10, -10, 5, 5});  // wholly outside
    canvas.FillRect({20, 5, 4, 4}, {0, 0, 255});
    canvas.FillRect({45, 35, 100, 100}, {0, 255, 0});  // clipped to the target
    canvas.FillRect({0, 30, 0, 5}, {255, 0, 0});       // no width: nothing
    const TextSize size = canvas.MeasureText(u"Apply", kFontEnglish);
    EXPECT_GT(size.width, 0);
    EXPECT_GT(size.height, 0);
    EXPECT_EQ(canvas.MeasureText(u"", kFontEnglish).width, 0);
    canvas.DrawText(0, 20, u"WWW", kFontEnglish, {255, 255, 255});
  }
  ExpectNear(target.pixelColor(5, 5), Qt::yellow, "copied");
  ExpectNear(target.pixelColor(14, 14), Qt::yellow, "copied corner");
  EXPECT_EQ(target.pixelColor(15, 15), QColor(Qt::black));
  ExpectNear(target.pixelColor(39, 29), Qt::yellow, "copied up to the layer's edge");
  EXPECT_EQ(target.pixelColor(41, 29), QColor(Qt::black));  // the layer ends at 40
  EXPECT_EQ(target.pixelColor(39, 31), QColor(Qt::black));
  EXPECT_EQ(target.pixelColor(21, 6), QColor(Qt::blue));
  EXPECT_EQ(target.pixelColor(49, 39), QColor(Qt::green));
  EXPECT_EQ(target.pixelColor(0, 32), QColor(Qt::black));
  int lit = 0;
  for (int y = 20; y < 40; ++y) {
    for (int x = 0; x < 25; ++x) lit += target.pixelColor(x, y).lightness() > 128 ? 1 : 0;
  }
  EXPECT_GT(lit, 10);  // the text was drawn below its top-left corner
}

TEST_F(SkinQtTest, APaintComposesThePageInTheMasksSize) {
  AppState state;
  WindowViewState view;
  state.Paths.SkinsDir = dir_.string();
  state.MaskWidth = 60;
  state.MaskHeight = 40;
  WriteJpeg("main_normal.jpg", Qt::darkGray, {60, 40});
  WriteJpeg("main_over.jpg", Qt::yellow, {60, 40});
  WriteJpeg("main_down.jpg", Qt::blue, {60, 40});
  state.Skin.Main.spots[50] = {10, 10, 10, 10};
  view.HoverMain = 50;
  state.CurConfig = 7;  // no profile button
  state.Settings.WHEEL_STATUS = 0;

  QtImageCache cache;
  QImage page = RenderMainWindow(state, view, cache);
  ASSERT_EQ(page.size(), QSize(60, 40));
  ExpectNear(page.pixelColor(2, 2), Qt::darkGray, "normal image");
  ExpectNear(page.pixelColor(15, 15), Qt::yellow, "hovered from the over image");

  view.Pressed = true;
  page = RenderMainWindow(state, view, cache);
  ExpectNear(page.pixelColor(15, 15), Qt::blue, "pressed from the down image");

  // A changed image shows at the next paint.
  WriteJpeg("main_down.jpg", Qt::red, {60, 40});
  fs::last_write_time(PathOf("main_down.jpg"), fs::last_write_time(PathOf("main_down.jpg")) + std::chrono::seconds(2));
  page = RenderMainWindow(state, view, cache);
  ExpectNear(page.pixelColor(15, 15), Qt::red, "changed down image");

  // Without images the page is black.
  fs::remove(PathOf("main_normal.jpg"));
  view.HoverMain = kNone;
  page = RenderMainWindow(state, view, cache);
  EXPECT_EQ(page.pixelColor(2, 2), QColor(Qt::black));

  QtMainWindowPaint paint(cache);
  QImage window(80, 50, QImage::Format_RGB32);
  window.fill(Qt::white);
  {
    QPainter painter(&window);
    paint.Paint(painter, state, view);
  }
  EXPECT_EQ(window.pixelColor(2, 2), QColor(Qt::black));
  EXPECT_EQ(window.pixelColor(70, 45), QColor(Qt::white));  // outside the mask's size: not painted

  // The back buffer goes while the window is hidden; the next paint makes it again.
  EXPECT_FALSE(paint.BackBuffer().isNull());
  paint.ReleaseBuffer();
  EXPECT_TRUE(paint.BackBuffer().isNull());
  WriteJpeg("main_normal.jpg", Qt::darkGray, {60, 40});
  window.fill(Qt::white);
  {
    QPainter painter(&window);
    paint.Paint(painter, state, view);
  }
  ExpectNear(window.pixelColor(2, 2), Qt::darkGray, "painted after the release");
  EXPECT_EQ(paint.BackBuffer().size(), QSize(60, 40));
}

}  // namespace
}  // namespace tolvar
