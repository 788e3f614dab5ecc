// tolvar-skin-preview: renders every page of a skin in a few states and in
// both languages through the program's own painter and Qt canvas, without a
// display, to PNG files, with the button-function popups and the warning.
// Pixels outside a window's shape are transparent.
//
//   tolvar-skin-preview <output folder> [<skins folder>]
//
// The skins folder defaults to "skins" beside this program.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window_shape.h"
#include "base/text.h"
#include "config/profile_settings.h"
#include "platform/ini/ini_file_store.h"
#include "platform/qt/main_window_paint.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_image_cache.h"
#include "ports/message_boxes.h"
#include "skin/fonts.h"
#include "skin/mask_region.h"
#include "skin/skin_layout.h"

namespace {

namespace fs = std::filesystem;
using namespace tolvar;

class StderrDialogs : public MessageBoxes {
 public:
  void MessageBox(const std::u16string& text, const std::u16string& caption) override {
    std::cerr << Utf16ToUtf8(caption) << ": " << Utf16ToUtf8(text) << "\n";
  }
};

struct PreviewState {
  const char* name;
  std::uint8_t page;
  int hoverMain = kNone;
  int hoverAdvanced = kNone;
  int hoverColour = kNone;
  bool pressed = false;
  bool previewGray = false;
  std::uint8_t previewColour = 0;
};

const PreviewState kStates[] = {
    {"main-normal", 0},
    {"main-hovered", 0, 21},                      // an assignment button
    {"main-pressed", 0, 62, kNone, kNone, true},  // a DPI level selector
    {"advanced", 1},
    {"advanced-pressed", 1, kNone, 2, kNone, true},  // add a macro
    {"colour-gray", 2, kNone, kNone, kNone, false, true, 0},
    {"colour-colour", 2, kNone, kNone, kNone, false, false, 4},  // red
};

void SetSampleSettings(AppState& state) {
  state.CurConfig = 1;
  state.Settings = DefaultProfile(0);
  state.Settings.K[3] = 41;  // shows the name of user macro 0
  state.Settings.FIRE_TIME = 150;
  const std::u16string names[] = {u"Combo A", u"Reload"};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    std::copy(names[i].begin(), names[i].end(), state.UserMacros.slots[i].name.begin());
  }
  state.UserMacros.count = 2;
  state.UserMacros.slots[0].mode = 1;
  state.UserMacros.slots[0].repeatCount = 3;
  state.PressCount = 4;
  state.ReleaseCount = 4;
}

QImage Shaped(const QImage& page, const Region& shape) {
  QImage shaped = page.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < shaped.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(shaped.scanLine(y));
    for (int x = 0; x < shaped.width(); ++x) {
      if (!shape.Contains(x, y)) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  return shaped;
}

// A column of popup items over the skin's item images: the hovered band comes
// from the "over" image, labels are centred, red when hovered, else white.
QImage RenderItemColumn(QtImageCache& images, const std::string& base, int rows,
                        const std::vector<std::u16string>& labels, int hovered, const FontSpec& font) {
  const auto normal = images.LoadImage(base + "_normal.jpg");
  const auto over = images.LoadImage(base + "_over.jpg");
  if (!normal || !over) return {};
  const int width = normal->Image().width();
  const int h = normal->Image().height() / rows;
  const int count = static_cast<int>(labels.size());
  QImage column = normal->Image().copy(0, 0, width, count * h + 1);
  QtCanvas canvas(column);
  canvas.CopyFromLayer(*over, {0, hovered * h, width, h});
  for (int i = 0; i < count; ++i) {
    const TextSize size = canvas.MeasureText(labels[static_cast<std::size_t>(i)], font);
    canvas.DrawText((width - size.width) / 2, i * h + (h - size.height) / 2, labels[static_cast<std::size_t>(i)], font,
                    i == hovered ? Rgb{255, 0, 0} : Rgb{255, 255, 255});
  }
  return column;
}

// The button-function popup with its first category ("Mouse functions",
// item 7) hovered and that category's list open beside it, one item lower.
QImage RenderFunctionPopups(const AppState& state, QtImageCache& images, const FontSpec& font) {
  const auto& labels = state.Skin.FunctionLabels;
  std::vector<std::u16string> items(labels.begin() + 1, labels.begin() + 11);
  std::vector<std::u16string> category(labels.begin() + 11, labels.begin() + 17);
  const std::string dir = state.Paths.SkinsDir + "/";
  const QImage menu = RenderItemColumn(images, dir + "menu", 10, items, 6, font);
  const QImage sub = RenderItemColumn(images, dir + "advanced menu", 12, category, 1, font);
  if (menu.isNull() || sub.isNull()) return {};
  const int h = menu.height() / 10;
  QImage both(menu.width() + sub.width(), std::max(menu.height(), h + sub.height()), QImage::Format_ARGB32);
  both.fill(Qt::transparent);
  QPainter painter(&both);
  painter.drawImage(0, 0, menu);
  painter.drawImage(menu.width(), h, sub);
  return both;
}

// The warning popup with its confirming button hovered, cut to its mask.
QImage RenderWarning(const AppState& state, QtImageCache& images, ImageFileReader& pixels, const FontSpec& font) {
  const std::string dir = state.Paths.SkinsDir + "/";
  const auto normal = images.LoadImage(dir + "warning_normal.jpg");
  const auto over = images.LoadImage(dir + "warning_over.jpg");
  const MaskShape shape = MaskRegion(pixels, dir + "warning_mask.jpg");
  if (!normal || !over || shape.width <= 0) return {};
  QImage warning = normal->Image().copy(0, 0, shape.width, shape.height);
  {
    QtCanvas canvas(warning);
    const HotSpot& confirm = state.Skin.Warning.Spot(0);
    canvas.CopyFromLayer(*over, {confirm.x, confirm.y, confirm.width, confirm.height});
    for (int row = 0; row < WarningSkinPage::kRows; ++row) {
      const HotSpot& spot = state.Skin.Warning.Spot(row);
      const std::u16string& label = state.Skin.Warning.labels[static_cast<std::size_t>(row)];
      const TextSize size = canvas.MeasureText(label, font);
      canvas.DrawText(spot.x + (spot.width - size.width) / 2, spot.y + (spot.height - size.height) / 2, label, font,
                      Rgb{255, 0, 0});
    }
  }
  return Shaped(warning, shape.region);
}

// The advanced page with sample contents where its list and edit controls
// sit: two macros, the first selected, and the events of a short recording.
QImage WithSampleControls(QImage page, const AppState& state, const FontSpec& font) {
  static const std::u16string kEvents[] = {u"[↓]A",     u"    120ms", u"[↑]A",     u"    35ms",  u"[↓]S",
                                           u"    98ms", u"[↑]S",      u"    40ms", u"[↓]D",      u"    102ms",
                                           u"[↑]D",     u"    38ms",  u"[↓]F",     u"    110ms", u"[↑]F"};
  constexpr Rgb kText{230, 230, 230};
  constexpr Rgb kSelected{0, 120, 140};
  QtCanvas canvas(page);
  const auto lines = [&](const Rect& area, const auto& texts, int selected) {
    int y = area.top + 2;
    for (int i = 0; i < static_cast<int>(std::size(texts)); ++i) {
      const std::u16string& text = texts[static_cast<std::size_t>(i)];
      const int h = canvas.MeasureText(text, font).height;
      if (y + h > area.bottom - 2) break;  // the lines that fit, as a list box shows them
      if (i == selected) canvas.FillRect({area.left + 2, y, area.right - area.left - 4, h}, kSelected);
      canvas.DrawText(area.left + 6, y, text, font, kText);
      y += h;
    }
  };
  const auto centred = [&](const Rect& area, const std::u16string& text) {
    const TextSize size = canvas.MeasureText(text, font);
    canvas.DrawText(area.left + (area.right - area.left - size.width) / 2,
                    area.top + (area.bottom - area.top - size.height) / 2, text, font, kText);
  };
  std::vector<std::u16string> names;
  for (int i = 0; i < state.UserMacros.count; ++i) {
    const auto& name = state.UserMacros.slots[static_cast<std::size_t>(i)].name;
    names.emplace_back(name.begin(), std::find(name.begin(), name.end(), u'\0'));
  }
  lines(state.Skin.Areas.MacroListArea, names, 0);
  lines(state.Skin.Areas.EventListArea, kEvents, 4);
  centred(state.Skin.Areas.NameEditArea, names.empty() ? std::u16string() : names.front());
  centred(state.Skin.Areas.RepeatEditArea, u"3");
  return page;
}

bool Save(const QImage& image, const fs::path& file) {
  if (image.isNull() || !image.save(QString::fromStdString(file.string()), "PNG")) {
    std::cerr << "tolvar-skin-preview: cannot write " << file << "\n";
    return false;
  }
  std::cout << file.string() << "\n";
  return true;
}

// Renders one language; false when its skin cannot be read.
bool RenderLanguage(std::uint8_t verSel, const std::string& skinsDir, const fs::path& out) {
  IniFileStore ini;
  StderrDialogs dialogs;
  QtImageCache images;
  QtImageFileReader pixels;
  auto state = std::make_unique<AppState>();
  state->Paths.SkinsDir = skinsDir;
  state->Paths.MaskImagePath = skinsDir + "/main_mask.jpg";
  state->VER_SEL = verSel;
  SetSampleSettings(*state);

  bool ended = false;
  const SkinSource source{ini, dialogs, u"tolvar-skin-preview", skinsDir, verSel, [&ended] { ended = true; }};
  if (!LoadAllSkins(source, state->Skin) || ended) return false;
  const MaskShape shape = ShapeMainWindow(*state, pixels);
  if (shape.width <= 0 || shape.height <= 0) {
    std::cerr << "tolvar-skin-preview: no readable mask at " << state->Paths.MaskImagePath << "\n";
    return false;
  }

  const char* language = verSel != 0 ? "en" : "cn";
  WindowViewState view;
  for (const PreviewState& s : kStates) {
    state->CurrentPage = s.page;
    view.HoverMain = s.hoverMain;
    view.HoverAdvanced = s.hoverAdvanced;
    view.HoverColour = s.hoverColour;
    view.Pressed = s.pressed;
    state->PreviewGray = s.previewGray;
    state->PreviewColour = s.previewColour;
    const fs::path file = out / (std::string(language) + "-" + s.name + ".png");
    if (!Save(Shaped(RenderMainWindow(*state, view, images), shape.region), file)) return false;
  }
  const FontSpec& font = verSel != 0 ? kFontEnglish : kFontOther;
  state->CurrentPage = 1;
  view = {};
  if (!Save(Shaped(WithSampleControls(RenderMainWindow(*state, view, images), *state, font), shape.region),
            out / (std::string(language) + "-advanced-controls.png"))) {
    return false;
  }
  return Save(RenderFunctionPopups(*state, images, font), out / (std::string(language) + "-function-popup.png")) &&
         Save(RenderWarning(*state, images, pixels, font), out / (std::string(language) + "-warning.png"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: tolvar-skin-preview <output folder> [<skins folder>]\n";
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);

  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  const std::string skinsDir = argc == 3 ? std::string(argv[2]) : (self.parent_path() / "skins").string();
  const fs::path out = argv[1];
  fs::create_directories(out, error);
  if (!fs::is_directory(out)) {
    std::cerr << "tolvar-skin-preview: cannot create " << out << "\n";
    return 1;
  }
  for (std::uint8_t verSel : {1, 0}) {
    if (!RenderLanguage(verSel, skinsDir, out)) return 1;
  }
  return 0;
}
