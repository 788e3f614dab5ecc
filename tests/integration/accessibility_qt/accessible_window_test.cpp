// The window's accessible objects through Qt's own accessibility API: the
// painted controls after the window's widgets, their roles, names, states
// and values as painted last, the press action reaching the window after
// the event loop; Tab between the painted controls and the window's widgets.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <memory>

#include "platform/qt/host_window.h"
#include "platform/qt/qt_accessible_window.h"

namespace tolvar {
namespace {

WindowControl Control(int row, ControlRole role, std::u16string name, bool checked = false) {
  WindowControl c;
  c.id = {HotSpotList::Main, row};
  c.role = role;
  c.name = std::move(name);
  c.checked = checked;
  c.spot = {10 * row, 5, 10, 10};
  return c;
}

class AccessibleWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "accessible_window_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  static void TearDownTestSuite() { application_.reset(); }

  AccessibleWindowTest() {
    controls = {Control(1, ControlRole::PushButton, u"Apply"), Control(2, ControlRole::RadioButton, u"Profile 1", true),
                Control(3, ControlRole::RadioButton, u"Profile 2"),
                Control(4, ControlRole::Slider, u"Rapid-fire time")};
    controls[3].value = ControlValue{40, 0, 300};
    window.resize(200, 100);
    accessible = std::make_unique<AccessibleWindowControls>(
        window, AccessibleControlSource{
                    .controls = [this] { return controls; },
                    .focus = [this] { return focus; },
                    .press = [this](ControlId id) { pressed.push_back(id.row); },
                    .setValue = [this](ControlId id, int value) { values.emplace_back(id.row, value); },
                    .widgetNames = [] { return std::vector<WidgetName>{}; },
                });
  }

  QAccessibleInterface* Window() { return QAccessible::queryAccessibleInterface(&window); }
  // The painted control at `index` among the window's children (after the widgets).
  QAccessibleInterface* Painted(int index) { return Window()->child(Window()->childCount() - 4 + index); }

  static inline std::unique_ptr<QApplication> application_;
  HostWindow window;
  std::vector<WindowControl> controls;
  KeyboardFocus focus;
  std::vector<int> pressed;
  std::vector<std::pair<int, int>> values;
  std::unique_ptr<AccessibleWindowControls> accessible;
};

TEST_F(AccessibleWindowTest, PaintedControlsFollowTheWidgetsWithRolesNamesStatesAndValues) {
  auto* edit = new QLineEdit(&window);
  edit->setAccessibleName("Name");
  ASSERT_EQ(Window()->childCount(), 1 + 4);
  EXPECT_EQ(Window()->child(0)->text(QAccessible::Name), "Name");
  const struct {
    QAccessible::Role role;
    const char* name;
    bool checkable;
    bool checked;
  } cases[] = {
      {QAccessible::Button, "Apply", false, false},
      {QAccessible::RadioButton, "Profile 1", true, true},
      {QAccessible::RadioButton, "Profile 2", true, false},
      {QAccessible::Slider, "Rapid-fire time", false, false},
  };
  for (int i = 0; i < 4; ++i) {
    QAccessibleInterface* control = Painted(i);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->role(), cases[i].role) << i;
    EXPECT_EQ(control->text(QAccessible::Name), cases[i].name);
    EXPECT_EQ(control->state().checkable, cases[i].checkable) << cases[i].name;
    EXPECT_EQ(control->state().checked, cases[i].checked) << cases[i].name;
    EXPECT_EQ(Window()->indexOfChild(control), 1 + i);
    EXPECT_EQ(control->parent(), Window());
  }
  const QRect rect = Painted(0)->rect();
  EXPECT_EQ(rect.size(), QSize(10, 10));
  EXPECT_EQ(rect.topLeft(), window.mapToGlobal(QPoint(10, 5)));
  EXPECT_EQ(Window()->childAt(rect.center().x(), rect.center().y()), Painted(0));
  QAccessibleValueInterface* value = Painted(3)->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->currentValue().toInt(), 40);
  EXPECT_EQ(value->maximumValue().toInt(), 300);
  EXPECT_EQ(Painted(0)->valueInterface(), nullptr);
}

TEST_F(AccessibleWindowTest, ThePressActionAndTheValueReachTheWindowOnceTheEventLoopIsBack) {
  QAccessibleActionInterface* action = Painted(1)->actionInterface();
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
  action->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(pressed.empty()) << "a press may open a modal popup: never inside the caller's request";
  QCoreApplication::processEvents();
  EXPECT_EQ(pressed, std::vector<int>{2});

  Painted(3)->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
  Painted(3)->valueInterface()->setCurrentValue(120);
  QCoreApplication::processEvents();
  EXPECT_EQ(values, (std::vector<std::pair<int, int>>{{4, 41}, {4, 120}}));
  EXPECT_EQ(pressed.size(), 1u) << "a slider has no press";
}

TEST_F(AccessibleWindowTest, ObjectsAnswerForTheStatePaintedLast) {
  controls[1].checked = false;
  controls[2].checked = true;
  controls[0].name = u"적용";
  EXPECT_TRUE(Painted(1)->state().checked) << "not repainted yet";
  accessible->Refresh();
  EXPECT_FALSE(Painted(1)->state().checked);
  EXPECT_TRUE(Painted(2)->state().checked);
  EXPECT_EQ(Painted(0)->text(QAccessible::Name), "적용");
  controls.pop_back();  // another page: the slider is gone
  accessible->Refresh();
  EXPECT_EQ(Window()->childCount(), 3);
}

TEST_F(AccessibleWindowTest, TabStaysWithThePaintedControlsUntilTheyLetItPassToTheWidgets) {
  auto* edit = new QLineEdit(&window);
  int tabs = 0;
  std::vector<bool> entered;
  window.SetHandlers({
      .tab = [&](bool) { return ++tabs < 3; },
      .focusEntered = [&](bool forward) { entered.push_back(forward); },
  });
  window.show();
  window.activateWindow();
  QCoreApplication::processEvents();
  window.setFocus(Qt::OtherFocusReason);
  ASSERT_TRUE(window.hasFocus());
  const auto tab = [](QWidget& to) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(&to, &press);
  };
  tab(window);
  tab(window);
  EXPECT_TRUE(window.hasFocus()) << "the painted controls took both";
  EXPECT_TRUE(entered.empty());
  tab(window);
  EXPECT_TRUE(edit->hasFocus()) << "past the last painted control: the widget";
  tab(*edit);
  EXPECT_TRUE(window.hasFocus());
  EXPECT_EQ(entered, std::vector<bool>{true}) << "back at the first painted control";
  EXPECT_EQ(tabs, 3);
}

}  // namespace
}  // namespace tolvar
