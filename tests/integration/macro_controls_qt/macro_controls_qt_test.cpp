// The Qt adapters of the advanced page on the offscreen platform: the
// controls' lines, selection and line edit, and the owner-drawn menu's
// sizes and pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/macro_page.h"
#include "app/program_menus.h"
#include "app/window_commands.h"
#include "macros/event_menu.h"
#include "macros/macro_text.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_macro_controls.h"
#include "platform/qt/qt_owner_drawn_menu.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/right_button_filter.h"
#include "skin/owner_drawn_menu.h"
#include "support/fake_popups.h"
#include "support/null_ports.h"
#include "support/still_window.h"

namespace tolvar {
namespace {

class RecordingEvents final : public EventListEvents {
 public:
  void OnChar(int c) override { log.push_back("char " + std::to_string(c)); }
  void OnKeyUp(int vk) override { log.push_back("keyup " + std::to_string(vk)); }
  void OnRightButtonUp(int x, int y) override { log.push_back("right " + std::to_string(x) + "," + std::to_string(y)); }
  void OnSize() override { log.push_back("size"); }
  void OnScroll() override { log.push_back("scroll"); }
  void OnLineEditKeyUp(int vk) override { log.push_back("edit keyup " + std::to_string(vk)); }
  void OnLineEditFocusLost() override { log.push_back("edit focus lost"); }
  std::vector<std::string> log;
};

class QtMacroAdapters : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "macro_controls_qt";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  static void TearDownTestSuite() { application_.reset(); }

  QtMacroAdapters() {
    window.resize(600, 400);
    window.show();
  }

  QWidget window;
  QtMacroControls controls{window};
  static inline std::unique_ptr<QApplication> application_;
};

TEST_F(QtMacroAdapters, ListKeepsLinesInOrderAndReportsOnlyTheUsersSelection) {
  int changes = 0;
  std::unique_ptr<ListControl> list = controls.CreateList({10, 20, 210, 220}, 10001, [&] { ++changes; });
  auto* widget = window.findChild<QListWidget*>(ControlName(10001));
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->geometry(), QRect(10, 20, 200, 200));
  list->AddLine(u"zeta");
  list->AddLine(u"alpha");
  list->InsertLine(1, u"mid");
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Text(0), u"zeta") << "never sorted";
  EXPECT_EQ(list->Text(1), u"mid");
  EXPECT_EQ(list->Selection(), -1);
  list->SetSelection(2);
  EXPECT_EQ(list->Selection(), 2);
  list->SetSelection(7);
  EXPECT_EQ(list->Selection(), -1) << "a line that does not exist leaves no selection";
  list->DeleteLine(0);
  EXPECT_EQ(changes, 0) << "programmatic changes are not the user's";
  widget->setCurrentRow(1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list->Selection(), 1);

  const int height = list->LineHeight();
  EXPECT_GT(height, 0);
  EXPECT_EQ(list->LineRect(1).top - list->LineRect(0).top, height) << "the arithmetic of the right click";
  EXPECT_EQ(list->TopLine(), 0);
  list.reset();
  EXPECT_EQ(window.findChild<QListWidget*>(ControlName(10001)), nullptr);
}

TEST_F(QtMacroAdapters, EditIsCentredAndKeepsItsText) {
  std::unique_ptr<EditControl> edit = controls.CreateEdit({5, 5, 65, 25}, 10004);
  auto* widget = window.findChild<QLineEdit*>(ControlName(10004));
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  edit->SetText(u"25");
  EXPECT_EQ(edit->Text(), u"25");
  edit->SetEnabled(false);
  EXPECT_FALSE(widget->isEnabled());
}

TEST_F(QtMacroAdapters, LineEditOpensOverALineAndReportsItsKeys) {
  RecordingEvents events;
  std::unique_ptr<EventListControl> list = controls.CreateEventList({200, 20, 400, 300}, 10002, events);
  list->AddLine(u"[↓]A");
  list->AddLine(u"    120ms");
  list->SetSelection(1);
  Rect rect = list->LineRect(1);
  rect.top -= 2;
  rect.bottom += 2;
  list->OpenLineEdit(rect, list->Text(1));
  ASSERT_TRUE(list->HasLineEdit());
  auto* edit = window.findChild<QLineEdit*>(QStringLiteral("lineEdit"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), QStringLiteral("    120ms"));
  EXPECT_EQ(edit->selectedText(), edit->text());
  edit->setText(QStringLiteral("250"));
  EXPECT_EQ(list->LineEditText(), u"250");

  events.log.clear();
  QKeyEvent strayRelease(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(edit, &strayRelease);
  EXPECT_TRUE(events.log.empty()) << "the release of a key pressed elsewhere (the menu's Enter)";
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(edit, &press);
  QKeyEvent enter(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(edit, &enter);
  ASSERT_FALSE(events.log.empty());
  EXPECT_EQ(events.log.back(), "edit keyup 13");
  events.log.clear();
  list->CloseLineEdit();
  EXPECT_FALSE(list->HasLineEdit());
  QApplication::processEvents();
  for (const std::string& entry : events.log) EXPECT_NE(entry, "edit focus lost") << "closing is not a loss of focus";

  auto* widget = window.findChild<QListWidget*>(ControlName(10002));
  QKeyEvent ctrlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
  QApplication::sendEvent(widget, &ctrlA);
  EXPECT_EQ(events.log.back(), "char 1");
}

TEST_F(QtMacroAdapters, OwnerDrawnMenuHasTheCoresSizesAndPixels) {
  ProgramMenus menus;
  menus.Load(1);
  const CTolvarMenu& look = menus.eventMenu;
  QMenu menu;
  FillOwnerDrawnMenu(menu, look.FirstSubMenu(), look);
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(actions[2]->data().toInt(), 32780);
  QImage scratch(1, 1, QImage::Format_RGB32);
  QtCanvas measuring(scratch);
  int widest = 0;
  for (const MenuEntry& entry : look.FirstSubMenu())
    widest = std::max(widest, look.MeasureEntry(measuring, entry.record).width);
  const int height = look.MeasureEntry(measuring, look.FirstSubMenu()[2].record).height;
  EXPECT_GE(widest, 96) << "never below 8 px for each of Modify Delay's 12 characters";
  EXPECT_EQ(menu.sizeHint(), QSize(widest, 4 * height)) << "the widest entry, four entries";
  EXPECT_EQ(menu.actionGeometry(actions[2]), QRect(0, 2 * height, widest, height));

  menu.resize(menu.sizeHint());
  const QImage plain = menu.grab().toImage();
  EXPECT_EQ(QColor(plain.pixel(widest - 3, 2 * height + 5)), QColor(0, 120, 153));

  menu.setActiveAction(actions[2]);
  const QImage lit = menu.grab().toImage();
  EXPECT_EQ(QColor(lit.pixel(widest - 3, 2 * height + 1)), QColor(0, 0, 255)) << "the gradient's first line";
  EXPECT_EQ(QColor(lit.pixel(widest - 3, 2 * height)), QColor(0, 0, 0)) << "the frame";

  QMenu* sub = actions[0]->menu();
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->actions().size(), 3);
}

TEST_F(QtMacroAdapters, RightButtonReleasesAreSeenOnceBeforeTheControl) {
  std::vector<std::string> order;
  RecordingEvents events;
  std::unique_ptr<EventListControl> list = controls.CreateEventList({200, 20, 400, 300}, 10002, events);
  RightButtonFilter filter(
      window, [&](int x, int y) { order.push_back("window at " + std::to_string(x) + "," + std::to_string(y)); });
  QWidget* viewport = window.findChild<QListWidget*>(ControlName(10002))->viewport();
  const QPoint local(5, 6);
  QMouseEvent release(QEvent::MouseButtonRelease, local, viewport->mapToGlobal(local), Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
  release.setTimestamp(1000);
  QApplication::sendEvent(viewport, &release);
  const QPoint global = viewport->mapToGlobal(local);
  ASSERT_EQ(order.size(), 1U);
  EXPECT_EQ(order[0], "window at " + std::to_string(global.x()) + "," + std::to_string(global.y()));
  ASSERT_FALSE(events.log.empty());
  EXPECT_EQ(events.log.back(), "right 5,6") << "the control still gets it, after the window";

  QWidget other;
  QMouseEvent elsewhere(QEvent::MouseButtonRelease, local, local, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
  elsewhere.setTimestamp(2000);
  QApplication::sendEvent(&other, &elsewhere);
  EXPECT_EQ(order.size(), 1U) << "another window's release";
}

class NoKeys final : public KeyCapture {
 public:
  CaptureStart Start(std::function<void(KeyEvent)>) override { return CaptureStart::Unavailable; }
  void Stop() override {}
};
class NoMenus final : public OwnerDrawnMenus {
 public:
  int Track(const std::vector<MenuEntry>&, const MenuLook&, int, int) override { return 0; }
};
class NoDialogs final : public MessageBoxes {
 public:
  void MessageBox(const std::u16string&, const std::u16string&) override {}
};

// The macro page on real widgets: the lists fill, and an in-place delay edit
// ended by Enter in the line edit stores the delay and rebuilds the list from
// within the line edit's own key handler.
TEST_F(QtMacroAdapters, MacroPageEditsADelayInPlace) {
  AppState state;
  state.CurrentPage.store(1);
  state.Skin.Areas = {{}, {362, 510, 410, 534}, {252, 142, 448, 168}, {184, 202, 334, 464}, {342, 202, 592, 464}};
  window.resize(900, 560);
  Macro macro;
  macro.name = MacroNameFrom(u"m");
  macro.events[0] = {4, kActionPress, 120};
  macro.events[1] = {4, kActionRelease, 30};
  macro.eventCount = 2;
  state.UserMacros.slots[0] = macro;
  state.UserMacros.count = 1;
  NoKeys keys;
  SystemTimeOfDay time;
  NoMenus menus;
  NoDialogs dialogs;
  testing::NullIni ini;
  testing::FakeDesktop desktop;
  testing::StillWindow host;
  ProgramMenus programMenus;
  programMenus.Load(1);
  MacroPage page(state, {controls, keys, time, menus, dialogs, desktop, ini, host}, programMenus.eventMenu);
  page.OpenControls();

  auto* names = window.findChild<QListWidget*>(ControlName(10001));
  auto* events = window.findChild<QListWidget*>(ControlName(10002));
  ASSERT_NE(names, nullptr);
  ASSERT_NE(events, nullptr);
  EXPECT_EQ(names->item(0)->text(), QStringLiteral("m"));
  ASSERT_EQ(events->count(), 3);
  EXPECT_EQ(events->item(1)->text(), QStringLiteral("    120ms"));

  events->setCurrentRow(1);
  QKeyEvent ctrlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
  QApplication::sendEvent(events, &ctrlA);
  auto* edit = window.findChild<QLineEdit*>(QStringLiteral("lineEdit"));
  ASSERT_NE(edit, nullptr);
  edit->setText(QStringLiteral("250"));
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(edit, &press);
  QKeyEvent enter(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(edit, &enter);
  QApplication::processEvents();
  EXPECT_EQ(state.UserMacros.slots[0].events[0].delay, 250);
  EXPECT_EQ(state.Link.PlayerMacros.UserMacro(0).events[0].delay, 250);
  EXPECT_EQ(events->item(1)->text(), QStringLiteral("    250ms"));
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("lineEdit")), nullptr);

  page.CloseControls();
  EXPECT_EQ(window.findChild<QListWidget*>(ControlName(10002)), nullptr);
}

TEST_F(QtMacroAdapters, TrayMenuTakesTheSameLook) {
  ProgramMenus menus;
  QtTray tray(ProgramIcon());
  tray.SetMenuLook(menus.trayMenu, menus.trayMenu.Entries());
  QImage scratch(1, 1, QImage::Format_RGB32);
  QtCanvas measuring(scratch);
  for (const std::uint8_t verSel : {1, 0}) {
    menus.Load(verSel);
    tray.ShowMenuAtCursor(TrayMenuItems(verSel));
    const TextSize show = menus.trayMenu.MeasureEntry(measuring, 1);
    const TextSize rules = menus.trayMenu.MeasureEntry(measuring, 2);
    const TextSize exit = menus.trayMenu.MeasureEntry(measuring, 3);
    EXPECT_GE(show.width, 8 * 11);
    EXPECT_EQ(tray.Menu().sizeHint(),
              QSize(std::max({show.width, rules.width, exit.width}), show.height + rules.height + exit.height))
        << int(verSel) << (verSel == 0 ? " after a language switch" : "");
    tray.Menu().hide();
  }
}

}  // namespace
}  // namespace tolvar
