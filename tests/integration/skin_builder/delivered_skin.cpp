#include "integration/skin_builder/delivered_skin.h"

#include <QGuiApplication>
#include <cstdlib>

#include "platform/ini/ini_file_store.h"
#include "ports/message_boxes.h"

namespace tolvar::testing {

namespace {

class RecordingDialogs final : public MessageBoxes {
 public:
  explicit RecordingDialogs(std::vector<std::u16string>& messages) : messages_(messages) {}
  void MessageBox(const std::u16string& text, const std::u16string&) override { messages_.push_back(text); }

 private:
  std::vector<std::u16string>& messages_;
};

}  // namespace

std::string DeliveredSkinDir() { return std::string(TOLVAR_SOURCE_DIR) + "/skins"; }

void EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "skin_builder_test";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);  // lives for the whole test run
}

LoadedSkin LoadDeliveredSkin(std::uint8_t verSel) {
  LoadedSkin skin;
  IniFileStore store;
  RecordingDialogs dialogs(skin.messages);
  bool ended = false;
  const SkinSource source{store, dialogs, u"tolvar", DeliveredSkinDir(), verSel, [&ended] { ended = true; }};
  skin.loaded = LoadAllSkins(source, skin.layout) && !ended;
  return skin;
}

QImage SkinImage(const std::string& file) {
  EnsureGuiApplication();
  return QImage(QString::fromStdString(DeliveredSkinDir() + "/" + file)).convertToFormat(QImage::Format_RGB32);
}

QRect ToQRect(const HotSpot& spot) { return QRect(spot.x, spot.y, spot.width, spot.height); }

QRect ToQRect(const Rect& rect) { return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top); }

double MeanDifference(const QImage& a, const QImage& b, const QRect& area) {
  const QRect inside = area & a.rect() & b.rect();
  if (inside.isEmpty()) return 0;
  double sum = 0;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  }
  return sum / (3.0 * inside.width() * inside.height());
}

const std::vector<std::string>& LayoutFileNames() {
  static const std::vector<std::string> names = {
      "INI_EN/skin_main_en.ini", "INI_EN/skin_color_en.ini", "INI_EN/skin_advance_en.ini", "INI_EN/LBWarning_en.ini",
      "INI_CN/skin_main.ini",    "INI_CN/skin_color.ini",    "INI_CN/skin_advance.ini",    "INI_CN/LBWarning.ini",
  };
  return names;
}

const std::vector<std::string>& ImageFileNames() {
  static const std::vector<std::string> names = {
      "main_normal.jpg",        "main_over.jpg",          "main_down.jpg",          "main_mask.jpg",
      "advanced_normal.jpg",    "advanced_over.jpg",      "advanced_down.jpg",      "color_normal_gray.jpg",
      "color_over_yellow.jpg",  "color_down_blue.jpg",    "color_pink.jpg",         "color_green.jpg",
      "color_red.jpg",          "color_cyan.jpg",         "color_white.jpg",        "menu_normal.jpg",
      "menu_over.jpg",          "menu_down.jpg",          "menu_mask.jpg",          "advanced menu_normal.jpg",
      "advanced menu_over.jpg", "advanced menu_down.jpg", "advanced menu_mask.jpg", "warning_normal.jpg",
      "warning_over.jpg",       "warning_mask.jpg",
  };
  return names;
}

}  // namespace tolvar::testing
