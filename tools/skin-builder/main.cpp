// tolvar-skin-builder <folder>: paints the delivered skin and writes its
// images and layout files into the folder (the repository's skins/).
#include <QGuiApplication>
#include <cstdio>

#include "skin_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <skin folder>\n", argc > 0 ? argv[0] : "tolvar-skin-builder");
    return 2;
  }
  // The builder only paints into images; it never needs a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::string error = tolvar::skinbuilder::WriteSkin(argv[1]);
  if (!error.empty()) {
    std::fprintf(stderr, "tolvar-skin-builder: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
