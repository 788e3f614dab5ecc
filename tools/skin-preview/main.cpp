// tolvar-skin-preview: renders every page of a skin in a few states and in
// both languages through the program's own painter and Qt canvas, without a
// display, to PNG files. Pixels outside the window's shape are transparent.
//
//   tolvar-skin-preview <output folder> [<skins folder>]
//
// The skins folder defaults to "skins" beside this program.
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "base/text.h"
#include "config/profile_settings.h"
#include "platform/ini/ini_file_store.h"
#include "ports/dialogs.h"
#include "platform/qt/main_window_paint.h"
#include "platform/qt/qt_image_cache.h"
#include "app/main_window_shape.h"
#include "skin/skin_layout.h"

namespace {

namespace fs = std::filesystem;
using namespace tolvar;

class StderrDialogs : public Dialogs {
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
  for (const PreviewState& s : kStates) {
    state->CurrentPage = s.page;
    state->HoverMain = s.hoverMain;
    state->HoverAdvanced = s.hoverAdvanced;
    state->HoverColour = s.hoverColour;
    state->Pressed = s.pressed;
    state->PreviewGray = s.previewGray;
    state->PreviewColour = s.previewColour;
    const fs::path file = out / (std::string(language) + "-" + s.name + ".png");
    if (!Shaped(RenderMainWindow(*state, images), shape.region).save(QString::fromStdString(file.string()), "PNG")) {
      std::cerr << "tolvar-skin-preview: cannot write " << file << "\n";
      return false;
    }
    std::cout << file.string() << "\n";
  }
  return true;
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
