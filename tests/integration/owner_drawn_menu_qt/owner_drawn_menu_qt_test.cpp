// The drawn menus with the real fonts (offscreen platform): in both
// languages, every entry of the event list's menu and of the tray menu is
// drawn alone onto a picture wider than the entry, and no pixel of its
// caption may fall outside the entry or under the arrow of a sub-menu entry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <memory>
#include <string>

#include "app/program_menus.h"
#include "base/text.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_owner_drawn_menu.h"
#include "skin/owner_drawn_menu.h"

namespace tolvar {
namespace {

class DrawnMenuPixels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "owner_drawn_menu_qt";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  static void TearDownTestSuite() { application_.reset(); }
  static inline std::unique_ptr<QApplication> application_;
};

constexpr int kSpare = 80;  // room right of the entry where a cut caption would show

// The rightmost column of the caption's ink: a pixel neither the band nor
// the arrow. -1 when there is none.
int RightmostCaptionInk(const CTolvarMenu& look, int record, int width, int height, bool highlighted) {
  QImage picture(width + kSpare, height, QImage::Format_RGB32);
  const QColor band(kMenuBand.r, kMenuBand.g, kMenuBand.b);
  picture.fill(band);
  {
    QtCanvas canvas(picture);
    look.DrawEntry(canvas, record, {0, 0, width, height}, highlighted);
  }
  // The arrow's columns, when the entry has one, are not caption.
  const int arrowLeft = look.OpensSubMenu(record) ? width - kMenuArrowRightMargin - kMenuArrowWidth : width + kSpare;
  int rightmost = -1;
  for (int y = 1; y < height - 1; ++y) {
    for (int x = kMenuCaptionIndent; x < width + kSpare; ++x) {
      if (x >= arrowLeft && x < width) continue;
      if (highlighted && x == width - 1) continue;  // the highlight's frame
      const QColor pixel = picture.pixelColor(x, y);
      const bool background =
          x < width && highlighted ? pixel.red() == 0 && pixel.green() < 255 && pixel.blue() == 255 : pixel == band;
      if (!background && x > rightmost) rightmost = x;
    }
  }
  return rightmost;
}

void ExpectEveryCaptionInside(const CTolvarMenu& look, const std::vector<MenuEntry>& entries, const char* menuName,
                              int verSel) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  QtCanvas measuring(scratch);
  for (const MenuEntry& entry : entries) {
    if (entry.id != kSeparatorId || !entry.entries.empty()) {
      const TextSize size = look.MeasureEntry(measuring, entry.record);
      const int limit = look.OpensSubMenu(entry.record) ? size.width - kMenuArrowSpace + 2 : size.width - 1;
      for (const bool highlighted : {false, true}) {
        const int ink = RightmostCaptionInk(look, entry.record, size.width, size.height, highlighted);
        EXPECT_GT(ink, kMenuCaptionIndent)
            << menuName << " " << verSel << " " << Utf16ToUtf8(entry.text) << ": a caption is drawn";
        EXPECT_LT(ink, limit) << menuName << " " << verSel << " \"" << Utf16ToUtf8(entry.text) << "\" needs " << ink + 1
                              << " px of " << size.width;
      }
    }
    ExpectEveryCaptionInside(look, entry.entries, menuName, verSel);
  }
}

TEST_F(DrawnMenuPixels, EveryCaptionOfBothMenusFitsItsEntryInBothLanguages) {
  for (const std::uint8_t verSel : {1, 0}) {
    ProgramMenus menus;
    menus.Load(verSel);
    ExpectEveryCaptionInside(menus.eventMenu, menus.eventMenu.Entries(), "event menu", verSel);
    ExpectEveryCaptionInside(menus.trayMenu, menus.trayMenu.Entries(), "tray menu", verSel);
  }
}

// The menu as Qt lays it out gives each entry the width the core asked for
// (the widest entry's), so the caption fits there too.
TEST_F(DrawnMenuPixels, QtLaysOutTheEntriesAtTheMeasuredWidth) {
  for (const std::uint8_t verSel : {1, 0}) {
    ProgramMenus menus;
    menus.Load(verSel);
    QMenu menu;
    FillOwnerDrawnMenu(menu, menus.trayMenu.FirstSubMenu(), menus.trayMenu);
    QImage scratch(1, 1, QImage::Format_RGB32);
    QtCanvas measuring(scratch);
    int widest = 0;
    for (const MenuEntry& entry : menus.trayMenu.FirstSubMenu()) {
      widest = std::max(widest, menus.trayMenu.MeasureEntry(measuring, entry.record).width);
    }
    EXPECT_EQ(menu.sizeHint().width(), widest) << int(verSel);
  }
}

}  // namespace
}  // namespace tolvar
