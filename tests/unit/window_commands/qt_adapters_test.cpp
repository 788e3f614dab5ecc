// The Qt adapters of the tray and the window menu, on the offscreen platform:
// menus carry the program's items and deliver their commands; the About box
// holds its texts, the program icon and an OK button.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QWidget>
#include <memory>

#include "app/window_commands.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/qt_window_menu.h"

namespace tolvar {
namespace {

class QtAdapters : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qt_adapters";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  static void TearDownTestSuite() { application_.reset(); }

  static QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
      texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
  }

  static inline std::unique_ptr<QApplication> application_;
};

TEST_F(QtAdapters, ProgramIconIsInTheResources) { EXPECT_FALSE(ProgramIcon().isNull()); }

TEST_F(QtAdapters, TrayActivationReasons) {
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::DoubleClick), TrayMouse::LeftDoubleClick);
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::Context), TrayMouse::RightButtonUp);
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::Trigger), TrayMouse::Other);
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::MiddleClick), TrayMouse::Other);
}

TEST_F(QtAdapters, TrayMenuShowsTheItemsAndDeliversTheChosenCommand) {
  QtTray tray(ProgramIcon());
  std::vector<int> chosen;
  tray.SetEvents({{}, [&](int command) { chosen.push_back(command); }});

  tray.ShowMenuAtCursor(TrayMenuItems(0));
  EXPECT_EQ(Texts(tray.Menu()),
            (QStringList{QStringLiteral("윈도우 보여주기   "), QStringLiteral("응용 프로그램별 프로필..."),
                         QStringLiteral("드라이버 나가기   ")}));
  tray.ShowMenuAtCursor(TrayMenuItems(1));  // the menu is rebuilt, not added to
  ASSERT_EQ(Texts(tray.Menu()),
            (QStringList{QStringLiteral("Show Window"), QStringLiteral("Profile per application..."),
                         QStringLiteral("Exit Driver")}));
  tray.Menu().actions()[2]->trigger();
  tray.Menu().actions()[0]->trigger();
  EXPECT_EQ(chosen, (std::vector<int>{kExitDriverCommand, kShowWindowCommand}));
  tray.Menu().hide();
}

TEST_F(QtAdapters, WindowMenuItemsArriveAsSystemCommands) {
  QWidget window;
  std::vector<int> commands;
  QtWindowMenu menu(&window, ProgramIcon(), [&](int command) { commands.push_back(command); });
  AddAboutItem(menu);

  ASSERT_EQ(Texts(menu.Menu()),
            (QStringList{QStringLiteral("&Restore"), QStringLiteral("Mi&nimize"), QStringLiteral("-"),
                         QStringLiteral("&Close"), QStringLiteral("-"), QStringLiteral("&About Tolvar...")}));
  for (QAction* action : menu.Menu().actions()) {
    if (!action->isSeparator()) action->trigger();
  }
  EXPECT_EQ(commands, (std::vector<int>{kScRestore, kScMinimize, kScClose, kAboutCommand}));
}

TEST_F(QtAdapters, AboutBoxHoldsTitleIconTextAndOk) {
  const std::unique_ptr<QDialog> box = CreateAboutBox(nullptr, ProgramIcon(), kAboutBox);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("About Tolvar"));
  EXPECT_EQ(box->findChild<QLabel*>(QStringLiteral("text"))->text(), QStringLiteral("Tolvar Version 1.0"));
  EXPECT_FALSE(box->findChild<QLabel*>(QStringLiteral("icon"))->pixmap().isNull());

  const auto buttons = box->findChild<QDialogButtonBox*>()->buttons();
  ASSERT_EQ(buttons.size(), 1);
  box->open();
  buttons[0]->click();
  EXPECT_EQ(box->result(), QDialog::Accepted);
  EXPECT_FALSE(box->isVisible());
}

}  // namespace
}  // namespace tolvar
