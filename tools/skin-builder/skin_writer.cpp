#include "skin_writer.h"

#include <QImageWriter>
#include <QString>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "layout_files.h"
#include "page_images.h"
#include "platform/ini/ini_file_store.h"

namespace tolvar::skinbuilder {

namespace {

struct ImageJob {
  const char* file;
  std::function<QImage()> paint;
};

std::vector<ImageJob> ImageJobs() {
  const int menuHeight = kMenuItems * kMenuItemHeight + 1;
  const int subMenuHeight = kSubMenuItems * kMenuItemHeight + 1;
  return {
      {"main_normal.jpg", [] { return MainPageImage(Layer::Normal); }},
      {"main_over.jpg", [] { return MainPageImage(Layer::Over); }},
      {"main_down.jpg", [] { return MainPageImage(Layer::Down); }},
      {"main_mask.jpg", [] { return ShapeMask(kWindowWidth, kWindowHeight, kWindowRadius); }},
      {"advanced_normal.jpg", [] { return AdvancedPageImage(Layer::Normal); }},
      {"advanced_over.jpg", [] { return AdvancedPageImage(Layer::Over); }},
      {"advanced_down.jpg", [] { return AdvancedPageImage(Layer::Down); }},
      // The colour page's three images carry the gray, yellow and blue preview.
      {"color_normal_gray.jpg", [] { return ColourPageImage(Layer::Normal, std::nullopt); }},
      {"color_over_yellow.jpg", [] { return ColourPageImage(Layer::Over, 0); }},
      {"color_down_blue.jpg", [] { return ColourPageImage(Layer::Down, 1); }},
      {"color_pink.jpg", [] { return ColourPageImage(Layer::Normal, 2); }},
      {"color_green.jpg", [] { return ColourPageImage(Layer::Normal, 3); }},
      {"color_red.jpg", [] { return ColourPageImage(Layer::Normal, 4); }},
      {"color_cyan.jpg", [] { return ColourPageImage(Layer::Normal, 5); }},
      {"color_white.jpg", [] { return ColourPageImage(Layer::Normal, 6); }},
      {"menu_normal.jpg", [] { return MenuImage(kMenuItems, kFirstGroupItem, Layer::Normal); }},
      {"menu_over.jpg", [] { return MenuImage(kMenuItems, kFirstGroupItem, Layer::Over); }},
      {"menu_down.jpg", [] { return MenuImage(kMenuItems, kFirstGroupItem, Layer::Down); }},
      {"menu_mask.jpg", [=] { return SizeMask(kMenuWidth, menuHeight); }},
      {"advanced menu_normal.jpg", [] { return MenuImage(kSubMenuItems, 0, Layer::Normal); }},
      {"advanced menu_over.jpg", [] { return MenuImage(kSubMenuItems, 0, Layer::Over); }},
      {"advanced menu_down.jpg", [] { return MenuImage(kSubMenuItems, 0, Layer::Down); }},
      {"advanced menu_mask.jpg", [=] { return SizeMask(kMenuWidth, subMenuHeight); }},
      {"warning_normal.jpg", [] { return WarningImage(Layer::Normal); }},
      {"warning_over.jpg", [] { return WarningImage(Layer::Over); }},
      {"warning_mask.jpg", [] { return ShapeMask(kWarningWidth, kWarningHeight, kWarningRadius); }},
  };
}

constexpr int kJpegQuality = 90;

bool SaveJpeg(const QImage& image, const std::string& path) {
  QImageWriter writer(QString::fromStdString(path), "jpeg");
  writer.setQuality(kJpegQuality);
  writer.setOptimizedWrite(true);
  return writer.write(image);
}

}  // namespace

std::string WriteSkin(const std::string& folder) {
  std::error_code error;
  for (const char* sub : {"INI_EN", "INI_CN"}) {
    std::filesystem::create_directories(folder + "/" + sub, error);
    if (error) return "cannot create " + folder + "/" + sub + ": " + error.message();
  }
  for (const ImageJob& job : ImageJobs()) {
    const std::string path = folder + "/" + job.file;
    if (!SaveJpeg(job.paint(), path)) return "cannot write " + path;
  }
  IniFileStore store;
  try {
    if (!WriteLayoutFiles(store, folder)) return "cannot write the layout files into " + folder;
  } catch (const std::invalid_argument& bad) {
    return bad.what();
  }
  return {};
}

}  // namespace tolvar::skinbuilder
