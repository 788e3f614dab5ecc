// The host window hands Qt's events to the core's handlers: the window
// manager's close becomes a request (the window stays), child controls take
// the core's colours and font, and Destroy really closes it. A window that
// its erase minimises paints nothing; hidden, it tells its handler.
#include "platform/qt/host_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <memory>

namespace tolvar {
namespace {

class HostWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "host_window_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  static void TearDownTestSuite() { application_.reset(); }

  static inline std::unique_ptr<QApplication> application_;
};

TEST_F(HostWindowTest, TheWindowManagersCloseIsOnlyARequest) {
  HostWindow window;
  int requests = 0;
  window.SetHandlers({.closeRequested = [&] { ++requests; }});
  window.show();
  window.close();
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(window.isVisible()) << "closing from the window manager must leave the window to the program";

  window.Destroy();
  EXPECT_TRUE(window.IsDestroyed());
  EXPECT_FALSE(window.isVisible());
  window.close();
  EXPECT_EQ(requests, 1) << "a destroyed window closes for good";
}

TEST_F(HostWindowTest, ChildControlsTakeTheCoresColoursAndFont) {
  for (const std::uint8_t verSel : {std::uint8_t{0}, std::uint8_t{1}}) {
    HostWindow window;
    window.SetHandlers({.controlColours = [verSel] { return ControlColoursFor(verSel); }});
    auto* edit = new QLineEdit(&window);
    window.show();
    QCoreApplication::processEvents();
    edit->ensurePolished();
    QCoreApplication::processEvents();

    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(0, 0, 0));
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(255, 255, 255));
    const QString face = QString::fromStdU16String(ControlColoursFor(verSel).font.face);
    EXPECT_EQ(edit->font().families().value(0), face) << int(verSel);
  }
}

TEST_F(HostWindowTest, AWindowMinimisedByItsEraseIsPaintedOnlyWhenShownAgain) {
  HostWindow window;
  bool startHidden = true;  // as the HIDE switch: the first erase minimises
  int paints = 0;
  window.SetHandlers({
      .paint = [&](QPainter&) { ++paints; },
      .eraseBackground =
          [&] {
            if (!startHidden) return;
            startHidden = false;
            window.ShowMinimized();
          },
  });
  window.show();
  window.repaint();
  QCoreApplication::processEvents();
  EXPECT_EQ(paints, 0) << "nothing is painted (or decoded) for a window that goes out of sight";
  EXPECT_TRUE(window.IsMinimized());

  window.Show();
  window.Restore();
  QCoreApplication::processEvents();
  window.repaint();
  EXPECT_GE(paints, 1) << "shown again, the window is painted";

  // A minimised window that the window manager exposes is painted as before.
  const int before = paints;
  window.ShowMinimized();
  window.repaint();
  EXPECT_EQ(paints, before + 1);
}

TEST_F(HostWindowTest, HidingTellsTheHandlerEachTime) {
  HostWindow window;
  int hidden = 0;
  window.SetHandlers({.hidden = [&] { ++hidden; }});
  window.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(hidden, 0);
  for (int cycle = 1; cycle <= 3; ++cycle) {
    window.Hide();
    EXPECT_EQ(hidden, cycle);
    window.Show();
    QCoreApplication::processEvents();
  }
}

}  // namespace
}  // namespace tolvar
