// The main window's shape and paint, against the ways they could be done:
// the mask scan by row runs against one region operation per light pixel
// (checked to give the same region), and a paint of the main page from
// cached images against one that decodes its three JPEGs first. Runs on the
// delivered skin, or on a generated one of the same size when the skin
// folder holds none. Prints the two ratios at the end.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/main_window_shape.h"
#include "base/text.h"
#include "config/profile_settings.h"
#include "per_pixel_mask_region.h"
#include "platform/ini/ini_file_store.h"
#include "platform/qt/main_window_paint.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_image_cache.h"
#include "ports/message_boxes.h"
#include "skin/function_popups.h"
#include "skin/mask_region.h"
#include "skin/pages.h"
#include "skin/skin_layout.h"

namespace {

namespace fs = std::filesystem;
using namespace tolvar;

class SilentDialogs : public MessageBoxes {
 public:
  void MessageBox(const std::u16string&, const std::u16string&) override {}
};

std::unique_ptr<AppState> g_state;
WindowViewState g_view;
std::unique_ptr<ImageSource> g_mask;

// A window-sized skin: a dark rounded shape on white, three page images and
// a layout of labelled rows in a grid.
std::string GenerateSkin() {
  const fs::path dir = fs::temp_directory_path() / "tolvar-skin-bench";
  fs::create_directories(dir);
  const QSize size(700, 460);
  QImage mask(size, QImage::Format_RGB32);
  mask.fill(Qt::white);
  {
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRect(QPoint(10, 10), size - QSize(20, 20)), 60, 60);
  }
  mask.save(QString::fromStdString((dir / "main_mask.jpg").string()), "JPG", 90);
  const std::map<std::string, QColor> pages{{"main_normal.jpg", QColor(40, 40, 48)},
                                            {"main_over.jpg", QColor(90, 90, 110)},
                                            {"main_down.jpg", QColor(150, 40, 40)}};
  for (const auto& [name, colour] : pages) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
      for (int x = 0; x < size.width(); ++x) image.setPixelColor(x, y, colour.lighter(100 + (x * y) % 60));
    }
    image.save(QString::fromStdString((dir / name).string()), "JPG", 90);
  }
  return dir.string();
}

void LayOutGeneratedRows(AppState& state) {
  for (int r = 0; r < MainSkinPage::kRows; ++r) {
    state.Skin.Main.spots[static_cast<std::size_t>(r)] = {20 + (r % 15) * 44, 20 + (r / 15) * 40, 40, 30};
    state.Skin.Main.labels[static_cast<std::size_t>(r)] = u"Row " + DecimalText(r);
  }
  for (int code = 1; code <= kFunctionLabelCount; ++code) {
    state.Skin.FunctionLabels[static_cast<std::size_t>(code)] = u"Function " + DecimalText(code);
  }
}

bool SetUp() {
  const std::string delivered = std::string(TOLVAR_SOURCE_DIR) + "/skins";
  const bool haveSkin = fs::exists(delivered + "/main_mask.jpg");
  const std::string skinsDir = haveSkin ? delivered : GenerateSkin();
  std::printf("skin: %s%s\n", skinsDir.c_str(), haveSkin ? "" : " (generated)");

  g_state = std::make_unique<AppState>();
  AppState& state = *g_state;
  state.Paths.SkinsDir = skinsDir;
  state.Paths.MaskImagePath = skinsDir + "/main_mask.jpg";
  state.VER_SEL = 1;
  state.CurConfig = 1;
  state.Settings = DefaultProfile(0);
  g_view.HoverMain = 21;
  if (haveSkin) {
    IniFileStore ini;
    SilentDialogs dialogs;
    if (!LoadAllSkins({ini, dialogs, u"skin_bench", skinsDir, 1, {}}, state.Skin)) return false;
  } else {
    LayOutGeneratedRows(state);
  }
  QtImageFileReader reader;
  g_mask = reader.ReadPixels(state.Paths.MaskImagePath);
  if (!g_mask) return false;
  ShapeMainWindow(state, reader);

  if (!(MaskRegion(*g_mask).region == PerPixelMaskRegion(*g_mask).region)) {
    std::fprintf(stderr, "the two mask scans disagree\n");
    return false;
  }
  return true;
}

void BM_MaskRegionFromRuns(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(MaskRegion(*g_mask));
}
BENCHMARK(BM_MaskRegionFromRuns)->Unit(benchmark::kMicrosecond);

void BM_MaskRegionPerPixel(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(PerPixelMaskRegion(*g_mask));
}
BENCHMARK(BM_MaskRegionPerPixel)->Unit(benchmark::kMicrosecond);

void BM_PaintMainPageCached(benchmark::State& s) {
  QtImageCache cache;
  RenderMainWindow(*g_state, g_view, cache);  // decodes once
  for (auto _ : s) benchmark::DoNotOptimize(RenderMainWindow(*g_state, g_view, cache));
}
BENCHMARK(BM_PaintMainPageCached)->Unit(benchmark::kMicrosecond);

void BM_PaintMainPageDecoding(benchmark::State& s) {
  for (auto _ : s) {
    QtImageCache cache;  // empty: the three page images are decoded for this paint
    benchmark::DoNotOptimize(RenderMainWindow(*g_state, g_view, cache));
  }
}
BENCHMARK(BM_PaintMainPageDecoding)->Unit(benchmark::kMicrosecond);

// A hover change on a page: the hit test of the three lists, as a mouse
// move between two header buttons makes it, and a whole paint of the page.
void HoverChange(benchmark::State& s, std::uint8_t page, bool cached) {
  AppState& state = *g_state;
  state.CurrentPage = page;
  const HotSpot& save = state.Skin.Main.Spot(0);
  const HotSpot& apply = state.Skin.Main.Spot(3);
  const std::array<Point, 2> points{Point{save.x + 1, save.y + 1}, Point{apply.x + 1, apply.y + 1}};
  QtImageCache kept;
  RenderMainWindow(state, g_view, kept);
  std::size_t move = 0;
  for (auto _ : s) {
    const Point p = points[move++ % 2];
    g_view.HoverMain = state.Skin.Main.RowAt(p.x, p.y, page == kMainPage ? 150 : 20);
    g_view.HoverColour = state.Skin.Colour.RowAt(p.x, p.y, 18);
    g_view.HoverAdvanced = state.Skin.Advanced.RowAt(p.x, p.y, 38);
    if (cached) {
      benchmark::DoNotOptimize(RenderMainWindow(state, g_view, kept));
    } else {
      QtImageCache fresh;  // the page's images decoded for this paint
      benchmark::DoNotOptimize(RenderMainWindow(state, g_view, fresh));
    }
  }
  state.CurrentPage = kMainPage;
  g_view.HoverMain = 21;
}
BENCHMARK_CAPTURE(HoverChange, MainCached, kMainPage, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HoverChange, MainDecoding, kMainPage, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HoverChange, AdvancedCached, kAdvancedPage, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HoverChange, AdvancedDecoding, kAdvancedPage, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HoverChange, ColourCached, kColourPage, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HoverChange, ColourDecoding, kColourPage, false)->Unit(benchmark::kMicrosecond);

// A popup window that paints its first frame when it is shown, as the
// window system asks it to, into an image of its size.
class FirstFrameWindow final : public PopupWindow {
 public:
  FirstFrameWindow(PopupHandlers& handlers, LayerImages& images) : handlers_(handlers), images_(images) {}
  void SetTitle(const std::u16string&) override {}
  void Move(int, int, int width, int height) override { frame_ = QImage(width, height, QImage::Format_RGB32); }
  void SetShape(const Region&) override {}
  void Show() override {
    frame_.fill(Qt::black);
    QtCanvas canvas(frame_);
    handlers_.OnPaint(canvas, images_);
  }
  void Hide() override {}
  void Invalidate() override {}
  Point Origin() const override { return {}; }
  int RunModal() override { return 0; }
  void EndModal(int) override {}

 private:
  PopupHandlers& handlers_;
  LayerImages& images_;
  QImage frame_;
};

class FirstFrameWindows final : public PopupWindows {
 public:
  explicit FirstFrameWindows(LayerImages& images) : images_(images) {}
  std::unique_ptr<PopupWindow> Create(PopupHandlers& handlers, PopupWindow*) override {
    return std::make_unique<FirstFrameWindow>(handlers, images_);
  }

 private:
  LayerImages& images_;
};

// Opening the function popup to its first painted frame.
void OpenFunctionPopup(benchmark::State& s, bool cached) {
  AppState& state = *g_state;
  QtImageFileReader masks;
  QtImageCache kept;
  for (auto _ : s) {
    QtImageCache fresh;
    FirstFrameWindows windows(cached ? kept : fresh);
    CMenuDlg menu(PopupContext{.state = g_view.Popups,
                               .settings = state.Settings,
                               .labels = state.Skin.FunctionLabels,
                               .userMacros = state.UserMacros,
                               .verSel = state.VER_SEL,
                               .skinsDir = state.Paths.SkinsDir,
                               .windows = windows,
                               .imageReader = masks,
                               .afterChoice = {}});
    benchmark::DoNotOptimize(menu.Closed());
  }
}
BENCHMARK_CAPTURE(OpenFunctionPopup, Cached, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OpenFunctionPopup, Decoding, false)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatio(const char* what, const std::string& slow, const std::string& fast) const {
    const auto s = times_.find(slow);
    const auto f = times_.find(fast);
    if (s == times_.end() || f == times_.end() || f->second <= 0) return;
    std::printf("%s: %.1f times faster\n", what, s->second / f->second);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (!SetUp()) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("mask region from row runs vs one operation per light pixel", "BM_MaskRegionPerPixel",
                      "BM_MaskRegionFromRuns");
  reporter.PrintRatio("main page paint from cached images vs decoding its three JPEGs", "BM_PaintMainPageDecoding",
                      "BM_PaintMainPageCached");
  for (const char* page : {"Main", "Advanced", "Colour"}) {
    const std::string name = std::string("hover change on the ") + page +
                             " page (hit test and whole paint), cached images vs decoding at every paint";
    reporter.PrintRatio(name.c_str(), std::string("HoverChange/") + page + "Decoding",
                        std::string("HoverChange/") + page + "Cached");
  }
  reporter.PrintRatio("opening the function popup to its first frame, cached images vs decoding",
                      "OpenFunctionPopup/Decoding", "OpenFunctionPopup/Cached");
  benchmark::Shutdown();
  return 0;
}
