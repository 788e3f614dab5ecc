// The Qt adapters of the tray and the window menu, on the offscreen platform:
// menus carry the program's items and deliver their commands; the About box
// holds its texts, the program icon and an OK button.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "app/window_commands.h"
#include "platform/qt/qt_desktop_dialogs.h"
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
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::Trigger), TrayMouse::LeftDoubleClick) << "a single click";
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::Context), TrayMouse::RightButtonUp);
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::MiddleClick), TrayMouse::Other);
  EXPECT_EQ(TrayMouseFor(QSystemTrayIcon::Unknown), TrayMouse::Other);
}

// The icon's activations go through the adapter to the window commands: a
// single click and a double-click each show the hidden window.
TEST_F(QtAdapters, ASingleClickAndADoubleClickOnTheTrayIconShowTheWindow) {
  struct ShowCounter final : public WindowHost {
    void SetTitle(const std::u16string&) override {}
    void Invalidate() override {}
    void InvalidateRegion(const Region&) override {}
    void UpdateNow() override {}
    Point ScreenOrigin() const override { return {}; }
    void StartDrag() override {}
    void Show() override { ++shown; }
    void ShowMinimized() override {}
    void Restore() override { ++restored; }
    void Hide() override {}
    bool IsMinimized() const override { return false; }
    void Destroy() override {}
    void PostToUi(std::function<void()> task) override { task(); }
    void SetShape(const MaskShape&) override {}
    int shown = 0;
    int restored = 0;
  };
  QtTray tray(ProgramIcon());
  QWidget owner;
  QtWindowMenu windowMenu(&owner, ProgramIcon(), [](int) {});
  AppState state;
  ShowCounter window;
  WindowCommands commands(state, window, tray, windowMenu, {});
  tray.SetEvents({[&](int id, TrayMouse mouse) { return commands.OnTrayNotify(id, mouse); }, {}});
  commands.AddTrayIcon();
  for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}) {
    window.shown = 0;
    window.restored = 0;
    Q_EMIT tray.Icon().activated(reason);
    EXPECT_EQ(window.shown, 1) << reason;
    EXPECT_EQ(window.restored, 1) << reason;
  }
  window.shown = 0;
  Q_EMIT tray.Icon().activated(QSystemTrayIcon::MiddleClick);
  EXPECT_EQ(window.shown, 0);
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

TEST_F(QtAdapters, FileDialogFiltersNameTheirPatternOnce) {
  struct Case {
    std::u16string name;
    std::u16string pattern;
    QString shown;
  };
  const Case cases[] = {
      {u"All Files(*.ini)", u"*.ini", QStringLiteral("All Files(*.ini)")},
      {u"All Files(*.dat)", u"*.dat", QStringLiteral("All Files(*.dat)")},
      {u"Macros", u"*.dat", QStringLiteral("Macros (*.dat)")},
      {u"All Files(*.ini)", u"*.dat", QStringLiteral("All Files(*.ini) (*.dat)")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileDialogFilter({c.name, c.pattern, u"", ""}), c.shown) << c.shown.toStdString();
  }
}

// Debian ships the toolkit's translations: in the Korean interface its own
// dialogs (file, colour, message box buttons) speak Korean, in the English
// one English again.
TEST_F(QtAdapters, TheToolkitsDialogsSpeakTheInterfacesLanguage) {
  QWidget owner;
  const QString english[] = {QCoreApplication::translate("QFileDialog", "Save As"),
                             QCoreApplication::translate("QFileDialog", "Open"),
                             QCoreApplication::translate("QColorDialog", "Select Color"),
                             QCoreApplication::translate("QPlatformTheme", "Cancel")};
  {
    QtDesktopDialogs dialogs(owner);
    dialogs.SetLanguage(0);
    for (const QString& text : english) {
      const QString korean = QCoreApplication::translate(
          text == english[2] ? "QColorDialog" : (text == english[3] ? "QPlatformTheme" : "QFileDialog"),
          text.toUtf8().constData());
      EXPECT_NE(korean, text) << text.toStdString();
      EXPECT_TRUE(std::any_of(korean.begin(), korean.end(), [](QChar c) { return c.unicode() >= 0xAC00; }))
          << korean.toStdString();
    }
    dialogs.SetLanguage(1);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), english[0]);
    dialogs.SetLanguage(0);
  }
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), english[0]) << "gone with the dialogs";
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
