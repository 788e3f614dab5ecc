#include "app/macro_page.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/program_menus.h"
#include "macro_page_fakes.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "skin/fonts.h"
#include "support/fake_popups.h"
#include "support/still_window.h"
#include "unit/config/fake_dialogs.h"

namespace tolvar {
namespace {

using testing::FakeControls;
using testing::FakeDesktop;
using testing::FakeKeyCapture;
using testing::FakeTimeOfDay;
using testing::kEventListOnScreen;
using testing::kLineHeight;
using testing::MemoryIni;
using testing::RecordingDialogs;
using testing::ScriptedMenus;
using testing::StillWindow;

constexpr int kVkA = 'A';
constexpr int kVkB = 'B';

// Menu ids of the English context menu.
constexpr int kForwardLeftDown = 32802;
constexpr int kBackwardLeftDown = 32809;
constexpr int kBackwardMidUp = 32814;
constexpr int kModifyDelay = 32780;
constexpr int kDelete = 32781;

Macro MacroOf(const std::u16string& name, std::vector<MacroEvent> events = {}, std::uint8_t mode = 0,
              std::uint16_t repeat = 1) {
  Macro macro;
  macro.name = MacroNameFrom(name);
  macro.mode = mode;
  macro.repeatCount = repeat;
  for (std::size_t i = 0; i < events.size(); ++i) macro.events[i] = events[i];
  macro.eventCount = static_cast<std::uint8_t>(events.size());
  return macro;
}

const std::vector<MacroEvent> kThreeEvents{{4, kActionPress, 120}, {4, kActionRelease, 30}, {5, kActionPress, 30}};

class MacroPageTest : public ::testing::Test {
 protected:
  MacroPageTest() {
    state.ApplicationName = u"tolvar";
    state.CurrentPage.store(1);
    state.Skin.Areas = {{}, {10, 10, 60, 30}, {10, 40, 160, 60}, {10, 70, 160, 300}, {200, 70, 400, 300}};
    state.Paths.ModuleDir = "/m";  // the English macro file is /m/Macro_EN.dat
    state.VER_SEL = 1;
    state.Paths.ConfigPath = "/m/config.ini";
    menus.Load(1);
  }

  void SetMacros(std::vector<Macro> macros, int selected) {
    for (std::size_t i = 0; i < macros.size(); ++i) state.UserMacros.slots[i] = macros[i];
    state.UserMacros.count = static_cast<std::int16_t>(macros.size());
    state.SelectedMacro = selected;
  }
  const std::vector<std::u16string>& Lines() const { return controls.eventList.lines; }
  const Macro& User(int i) const { return state.UserMacros.slots[i]; }
  // A right-button release over event-list line `line` (top line 0).
  void RightClickLine(int line, int answer = 0) {
    shownMenus.answer = answer;
    page.OpenEventMenu(kEventListOnScreen.left + 5, kEventListOnScreen.top + line * kLineHeight + 3);
  }
  Macro Published(int i) const { return state.Link.PlayerMacros.UserMacro(i); }

  AppState state;
  FakeControls controls;
  FakeKeyCapture keys;
  FakeTimeOfDay time;
  ScriptedMenus shownMenus;
  RecordingDialogs dialogs;
  MemoryIni ini;
  FakeDesktop desktop;
  StillWindow window;
  ProgramMenus menus;
  MacroPage page{state, {controls, keys, time, shownMenus, dialogs, desktop, ini, window}, menus.eventMenu};
};

TEST_F(MacroPageTest, ControlsAreMadeInOrderInTheirAreasAndDestroyedOnLeaving) {
  SetMacros({MacroOf(u"one")}, 0);
  page.OpenControls();
  ASSERT_EQ(controls.made.size(), 4U);
  const int ids[] = {10004, 10000, 10001, 10002};
  const Rect areas[] = {state.Skin.Areas.RepeatEditArea, state.Skin.Areas.NameEditArea, state.Skin.Areas.MacroListArea,
                        state.Skin.Areas.EventListArea};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(controls.made[i].id, ids[i]);
    EXPECT_EQ(controls.made[i].area, areas[i]);
  }
  EXPECT_EQ(controls.macroList.lines, std::vector<std::u16string>{u"one"});
  page.CloseControls();
  EXPECT_FALSE(controls.repeatEdit.alive || controls.nameEdit.alive || controls.macroList.alive ||
               controls.eventList.alive);
  page.RefreshMacroList();  // without controls: nothing, and no crash
}

TEST_F(MacroPageTest, ListsShowTheMacrosAndTheSelectedMacrosLines) {
  SetMacros({MacroOf(u"a"), MacroOf(u"b"), MacroOf(u"c", {{4, kActionPress, 120}, {4, kActionRelease, 30}}, 1, 7)}, 7);
  page.OpenControls();
  EXPECT_EQ(state.SelectedMacro, 2) << "cut to the last line";
  EXPECT_EQ(controls.macroList.selection, 2);
  EXPECT_EQ(controls.nameEdit.text, u"c");
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"[↓]A", u"    120ms", u"[↑]A"}));
  EXPECT_EQ(state.PressCount, 1);
  EXPECT_EQ(state.ReleaseCount, 1);
  EXPECT_EQ(controls.repeatEdit.text, u"7");
  EXPECT_TRUE(controls.repeatEdit.enabled);

  controls.ClickMacro(0);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(controls.nameEdit.text, u"a");
  EXPECT_EQ(state.PressCount, 0);
}

TEST_F(MacroPageTest, RightClickLineArithmetic) {
  struct Case {
    const char* what;
    int events;  // of the shown macro
    int topLine;
    int x, y;       // on the screen
    int line;       // SelectedEventLine
    int selection;  // of the event list
    bool menu;
  } cases[] = {
      {"on line 2", 3, 0, 105, 200 + 2 * 16 + 1, 2, 2, true},
      {"on line 3 scrolled by 2", 3, 2, 105, 200 + 16 + 4, 3, 3, true},
      {"below the last line", 3, 0, 105, 200 + 9 * 16, 9, -1, false},
      {"left of the list", 3, 0, 99, 200 + 16, 1, 1, false},
      {"above the list", 3, 0, 105, 200 - 20, -1, -1, false},
      {"an empty list", 0, 0, 105, 200 + 5 * 16, 5, -1, true},
  };
  for (const Case& c : cases) {
    SetMacros({MacroOf(u"m", std::vector<MacroEvent>(kThreeEvents.begin(), kThreeEvents.begin() + c.events))}, 0);
    page.OpenControls();
    controls.eventList.topLine = c.topLine;
    shownMenus.opened.clear();
    page.OpenEventMenu(c.x, c.y);
    EXPECT_EQ(page.SelectedEventLine(), c.line) << c.what;
    EXPECT_EQ(controls.eventList.selection, c.selection) << c.what;
    EXPECT_EQ(shownMenus.opened.size(), c.menu ? 1U : 0U) << c.what;
    EXPECT_EQ(page.MenuEvent(), std::max(c.selection, 0) / 2) << c.what;
    page.CloseControls();
  }
  ASSERT_FALSE(shownMenus.opened.empty());
  EXPECT_EQ(std::get<0>(shownMenus.opened[0]), 4) << "the first sub-menu: add forward, add backward, modify, delete";
}

TEST_F(MacroPageTest, NoMenuWhileRecordingOrOnAnotherPage) {
  SetMacros({MacroOf(u"m", kThreeEvents)}, 0);
  page.OpenControls();
  state.CurrentPage.store(0);
  RightClickLine(0);
  state.CurrentPage.store(1);
  page.ToggleRecording();
  RightClickLine(0);
  EXPECT_TRUE(shownMenus.opened.empty());
}

TEST_F(MacroPageTest, InsertsBeforeAndAfterWithTheSelectionThatFollows) {
  const MacroEvent left{kLeftButtonCode, kActionPress, 30};
  struct Case {
    const char* what;
    int events;
    int line;
    int command;
    std::vector<MacroEvent> expected;
    int selectedLine;
    int selection;
  } cases[] = {
      {"forward on line 2", 2, 2, kForwardLeftDown, {kThreeEvents[0], left, kThreeEvents[1]}, 4, 4},
      {"backward on line 2", 2, 2, kBackwardLeftDown, {kThreeEvents[0], kThreeEvents[1], left}, 4, 4},
      {"forward on a delay line", 2, 1, kForwardLeftDown, {left, kThreeEvents[0], kThreeEvents[1]}, 3, 3},
      {"backward on an empty list", 0, 0, kBackwardLeftDown, {left}, 0, 0},
      {"forward on an empty list", 0, 0, kForwardLeftDown, {left}, 2, -1},
  };
  for (const Case& c : cases) {
    SetMacros({MacroOf(u"m", std::vector<MacroEvent>(kThreeEvents.begin(), kThreeEvents.begin() + c.events))}, 0);
    page.OpenControls();
    RightClickLine(c.line, c.command);
    const Macro& m = User(0);
    EXPECT_EQ(std::vector<MacroEvent>(m.events.begin(), m.events.begin() + m.eventCount), c.expected) << c.what;
    EXPECT_EQ(page.SelectedEventLine(), c.selectedLine) << c.what;
    EXPECT_EQ(controls.eventList.selection, c.selection) << c.what;
    EXPECT_EQ(Published(0), m) << c.what << ": handed over to the player";
    page.CloseControls();
  }
  SetMacros({MacroOf(u"m", {kThreeEvents[0], kThreeEvents[1]})}, 0);
  page.OpenControls();
  RightClickLine(2, kForwardLeftDown);
  EXPECT_EQ(Lines()[2], u"[↓]L-KEY");
  RightClickLine(0, kBackwardMidUp);
  EXPECT_EQ(Lines()[2], u"[↑]M-KEY");
}

TEST_F(MacroPageTest, AnInsertIntoA254EventMacroOverflows) {
  Macro full = MacroOf(u"m");
  full.eventCount = 254;
  SetMacros({full}, 0);
  page.OpenControls();
  RightClickLine(0, kBackwardLeftDown);
  EXPECT_EQ(User(0).eventCount, 254);
  ASSERT_EQ(dialogs.shown.size(), 1U);
  EXPECT_EQ(dialogs.shown[0], std::make_pair(std::u16string(u"Overflow!!!"), std::u16string(u"tolvar")));
}

TEST_F(MacroPageTest, DeleteOnADelayLineRemovesTheEventAboveIt) {
  SetMacros({MacroOf(u"m", kThreeEvents)}, 0);
  page.OpenControls();
  RightClickLine(3, kDelete);
  EXPECT_EQ(User(0).eventCount, 2);
  EXPECT_EQ(User(0).events[1], kThreeEvents[2]);
  EXPECT_EQ(page.SelectedEventLine(), 1);
  EXPECT_EQ(Lines().size(), 3U);
}

TEST_F(MacroPageTest, ModifyDelayEditsOnlyADelayLine) {
  SetMacros({MacroOf(u"m", kThreeEvents)}, 0);
  page.OpenControls();
  RightClickLine(2, kModifyDelay);
  EXPECT_FALSE(controls.eventList.hasEdit) << "a key line";

  RightClickLine(3, kModifyDelay);
  ASSERT_TRUE(controls.eventList.hasEdit);
  EXPECT_EQ(controls.eventList.editText, u"    30ms");
  EXPECT_EQ(controls.eventList.editRect, (Rect{0, 3 * 16 - 2, 200, 4 * 16 + 2}));
  controls.eventList.editText = u"250";
  controls.eventEvents->OnLineEditKeyUp(13);
  EXPECT_FALSE(controls.eventList.hasEdit);
  EXPECT_EQ(User(0).events[1].delay, 250);
  EXPECT_EQ(Lines()[3], u"    250ms");
  EXPECT_EQ(Published(0).events[1].delay, 250);
}

TEST_F(MacroPageTest, InPlaceEditEndings) {
  struct Case {
    const char* what;
    std::function<void(EventListEvents&)> end;
    std::uint16_t delay;
  } cases[] = {
      {"Enter keeps", [](EventListEvents& e) { e.OnLineEditKeyUp(13); }, 70000 % 65536},
      {"Escape drops", [](EventListEvents& e) { e.OnLineEditKeyUp(27); }, 120},
      {"focus loss keeps", [](EventListEvents& e) { e.OnLineEditFocusLost(); }, 4464},
      {"scrolling keeps", [](EventListEvents& e) { e.OnScroll(); }, 4464},
      {"resizing keeps", [](EventListEvents& e) { e.OnSize(); }, 4464},
  };
  for (const Case& c : cases) {
    SetMacros({MacroOf(u"m", kThreeEvents)}, 0);
    page.OpenControls();
    controls.eventList.selection = 1;
    controls.eventEvents->OnChar(1);  // Ctrl+A
    ASSERT_TRUE(controls.eventList.hasEdit) << c.what;
    controls.eventList.editText = u"70000";
    c.end(*controls.eventEvents);
    EXPECT_FALSE(controls.eventList.hasEdit) << c.what;
    EXPECT_EQ(User(0).events[0].delay, c.delay) << c.what;
    page.CloseControls();
  }
}

TEST_F(MacroPageTest, EditStartsOnlyOnCharacterOne) {
  SetMacros({MacroOf(u"m", kThreeEvents)}, 0);
  page.OpenControls();
  controls.eventList.selection = 1;
  controls.eventEvents->OnChar('x');
  controls.eventEvents->OnKeyUp(45);
  EXPECT_FALSE(controls.eventList.hasEdit) << "Insert starts an edit only while character 1 is pending";
  controls.eventEvents->OnRightButtonUp(5, 16 + 3);
  EXPECT_FALSE(controls.eventList.hasEdit);
  controls.eventEvents->OnChar(1);
  EXPECT_TRUE(controls.eventList.hasEdit);
}

TEST_F(MacroPageTest, EditingAKeyLineStoresNoDelay) {
  SetMacros({MacroOf(u"m", kThreeEvents)}, 0);
  page.OpenControls();
  controls.eventList.selection = 2;
  controls.eventEvents->OnChar(1);
  controls.eventList.editText = u"5";
  controls.eventEvents->OnLineEditKeyUp(13);
  EXPECT_EQ(User(0), MacroOf(u"m", kThreeEvents));
  EXPECT_EQ(Lines()[2], u"[↑]A") << "the list shows the macro again";
}

TEST_F(MacroPageTest, WithoutUserMacrosTheCommandsActOnNothing) {
  SetMacros({}, 0);
  const UserMacroTable before = state.UserMacros;
  page.OpenControls();
  for (const int command : {kForwardLeftDown, kBackwardLeftDown, kDelete, kModifyDelay}) {
    RightClickLine(0, command);
    EXPECT_EQ(page.MenuMacro(), -1);
  }
  page.DeleteMacro();
  page.ToggleRecording();
  page.ToggleRepeatMode();
  page.ToggleHeldMode();
  EXPECT_EQ(state.UserMacros.slots, before.slots);
  EXPECT_EQ(keys.starts, 0);
}

TEST_F(MacroPageTest, RecordingAThenBFromTheKeyCapture) {
  SetMacros({MacroOf(u"rec", kThreeEvents, kRepeatModeBit, 5)}, 0);
  page.OpenControls();
  page.ToggleRecording();
  ASSERT_TRUE(state.Recording);
  EXPECT_TRUE(keys.Active());
  EXPECT_EQ(User(0), MacroOf(u"rec")) << "blanked, name kept, mode 0, repeat 1";
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(controls.repeatEdit.text, u"1");
  EXPECT_FALSE(controls.repeatEdit.enabled);

  keys.Type(true, kVkA);
  time.now += 150;
  keys.Type(false, kVkA);
  time.now += 150;
  keys.Type(true, kVkB);
  time.now += 150;
  keys.Type(false, kVkB);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"[↓]A", u"    150ms", u"[↑]A", u"    150ms", u"[↓]B", u"    150ms",
                                                  u"[↑]B"}));
  EXPECT_EQ(controls.eventList.selection, 6) << "the last line while recording";
  EXPECT_EQ(state.PressCount, 2);
  EXPECT_EQ(state.ReleaseCount, 2);

  page.ToggleRecording();
  EXPECT_FALSE(state.Recording);
  EXPECT_FALSE(keys.Active());
  EXPECT_EQ(User(0).eventCount, 4);
  EXPECT_EQ(User(0).events[3], (MacroEvent{5, kActionRelease, 30}));
  EXPECT_EQ(Published(0), User(0));
}

TEST_F(MacroPageTest, RecordingDoesNotStartWithoutTheKeyboardAndSaysWhyInTheInterfacesLanguage) {
  struct Case {
    CaptureStart refusal;
    std::uint8_t verSel;
    std::u16string message;
  };
  const Case cases[] = {
      {CaptureStart::KeyboardBusy, 1, u"Recording cannot start: another program holds the keyboard."},
      {CaptureStart::KeyboardBusy, 0, u"다른 프로그램이 키보드를 사용하고 있어 녹화를 시작할 수 없습니다."},
      {CaptureStart::Unavailable, 1, u"Recording cannot start: the keyboard cannot be captured."},
      {CaptureStart::Unavailable, 0, u"키보드를 가져올 수 없어 녹화를 시작할 수 없습니다."},
  };
  SetMacros({MacroOf(u"rec", kThreeEvents)}, 0);
  page.OpenControls();
  for (const Case& c : cases) {
    dialogs.shown.clear();
    state.VER_SEL = c.verSel;
    keys.refusal = c.refusal;
    page.ToggleRecording();
    EXPECT_FALSE(state.Recording);
    EXPECT_EQ(User(0), MacroOf(u"rec", kThreeEvents)) << "nothing blanked";
    ASSERT_EQ(dialogs.shown.size(), 1U);
    EXPECT_EQ(dialogs.shown[0].first, c.message);
    EXPECT_EQ(dialogs.shown[0].second, u"tolvar");
  }
}

TEST_F(MacroPageTest, KeyFilterSwallowsEnterEscapeAndF10) {
  EXPECT_TRUE(page.FilterKeyMessage({true, 13}));
  EXPECT_TRUE(page.FilterKeyMessage({true, 27}));
  EXPECT_TRUE(page.FilterKeyMessage({false, 121}));
  EXPECT_FALSE(page.FilterKeyMessage({true, kVkA}));
}

TEST_F(MacroPageTest, AddMacroSelectsAnExistingNameOrAddsABlankMacro) {
  SetMacros({MacroOf(u"one", kThreeEvents), MacroOf(u"two")}, 1);
  state.UserMacros.slots[2] = MacroOf(u"stale", kThreeEvents, kHeldModeBit, 9);
  page.OpenControls();
  controls.nameEdit.text = u"one";
  page.AddMacro();
  EXPECT_EQ(state.UserMacros.count, 2);
  EXPECT_EQ(state.SelectedMacro, 0);
  EXPECT_EQ(controls.macroList.selection, 0);
  EXPECT_EQ(Lines().size(), 5U) << "the existing macro is shown";

  controls.nameEdit.text = u"three";
  page.AddMacro();
  EXPECT_EQ(state.UserMacros.count, 3);
  EXPECT_EQ(User(2), MacroOf(u"three", {}, 0, 0)) << "a reused slot starts blank";
  EXPECT_EQ(controls.macroList.lines.back(), u"three");
  EXPECT_EQ(state.SelectedMacro, 2);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(Published(2), User(2));

  controls.nameEdit.text = u"";
  page.AddMacro();
  EXPECT_EQ(state.UserMacros.count, 3) << "an empty name adds nothing";
}

TEST_F(MacroPageTest, AddMacroCutsALongNameWithoutSplittingASurrogatePair) {
  SetMacros({}, 0);
  page.OpenControls();
  const std::u16string eighteen(18, u'n');
  controls.nameEdit.text = eighteen + u"\U0001F600" + u"tail";
  page.AddMacro();
  EXPECT_EQ(MacroNameText(User(0)), eighteen);
  controls.nameEdit.text = eighteen + u"\U0001F600" + u"other";
  page.AddMacro();
  EXPECT_EQ(state.UserMacros.count, 1) << "the same name once cut";
}

TEST_F(MacroPageTest, AddMacroStopsAtTwelve) {
  std::vector<Macro> twelve;
  for (int i = 0; i < 12; ++i) twelve.push_back(MacroOf(u"m" + std::u16string(1, u'a' + i)));
  SetMacros(twelve, 0);
  page.OpenControls();
  controls.nameEdit.text = u"new";
  page.AddMacro();
  EXPECT_EQ(state.UserMacros.count, 12);
  EXPECT_EQ(User(12), Macro{}) << "the blank record is untouched";
}

TEST_F(MacroPageTest, DeleteTheFirstAndTheOnlyMacro) {
  SetMacros({MacroOf(u"a", kThreeEvents), MacroOf(u"b", {kThreeEvents[0]})}, 0);
  page.OpenControls();
  controls.ClickMacro(0);
  page.DeleteMacro();
  EXPECT_EQ(state.UserMacros.count, 1);
  EXPECT_EQ(MacroNameText(User(0)), u"b");
  EXPECT_EQ(controls.macroList.lines, std::vector<std::u16string>{u"b"});
  EXPECT_EQ(controls.macroList.selection, 0);
  EXPECT_EQ(controls.nameEdit.text, u"b");
  EXPECT_EQ(Lines(), std::vector<std::u16string>{u"[↓]A"});
  EXPECT_EQ(User(1).eventCount, 0) << "the freed record is reset";
  EXPECT_EQ(User(1).repeatCount, 1);

  page.DeleteMacro();
  EXPECT_EQ(state.UserMacros.count, 0);
  EXPECT_TRUE(controls.macroList.lines.empty());
  EXPECT_EQ(controls.nameEdit.text, u"");
  EXPECT_EQ(controls.repeatEdit.text, u"1");
  EXPECT_FALSE(controls.repeatEdit.enabled);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(Published(0).eventCount, 0);
}

TEST_F(MacroPageTest, DeleteWithoutASelectedLineRemovesNothing) {
  SetMacros({MacroOf(u"a"), MacroOf(u"b")}, 0);
  page.OpenControls();
  controls.macroList.selection = -1;
  page.DeleteMacro();
  EXPECT_EQ(state.UserMacros.count, 2);
}

TEST_F(MacroPageTest, ModeSwitches) {
  SetMacros({MacroOf(u"a", kThreeEvents, 0, 25)}, 0);
  page.OpenControls();
  page.ToggleRepeatMode();
  EXPECT_EQ(User(0).mode, kRepeatModeBit);
  EXPECT_EQ(controls.repeatEdit.text, u"25") << "the stored repeat count";
  EXPECT_TRUE(controls.repeatEdit.enabled);
  EXPECT_EQ(state.Link.PlayerMacros.UserMacroMode(0), kRepeatModeBit);

  page.ToggleHeldMode();
  EXPECT_EQ(User(0).mode, kHeldModeBit) << "held mode turns repeat mode off";
  EXPECT_EQ(controls.repeatEdit.text, u"1");
  EXPECT_FALSE(controls.repeatEdit.enabled);

  page.ToggleRepeatMode();
  EXPECT_EQ(User(0).mode, kRepeatModeBit);
  page.ToggleRepeatMode();
  EXPECT_EQ(User(0).mode, 0);
  EXPECT_EQ(controls.repeatEdit.text, u"1");
  page.ToggleHeldMode();
  page.ToggleHeldMode();
  EXPECT_EQ(User(0).mode, 0);
  EXPECT_EQ(state.Link.PlayerMacros.UserMacroMode(0), 0);
}

TEST_F(MacroPageTest, SaveStoresTheRepeatCountThenTheMacroFileAndTheProfile) {
  SetMacros({MacroOf(u"a", kThreeEvents, kRepeatModeBit, 3)}, 0);
  state.CurConfig = 2;
  page.OpenControls();
  controls.repeatEdit.text = u"0";
  page.SaveMacros();
  EXPECT_EQ(User(0).repeatCount, 1);
  EXPECT_EQ(controls.repeatEdit.text, u"1") << "the corrected text";
  EXPECT_EQ(ini.Read("/m/Macro_EN.dat", u"Macros", u"macroNum", 8), u"1");
  EXPECT_EQ(ini.Read("/m/config.ini", u"Config2", u"macroNum", 8), u"1");
  EXPECT_EQ(ini.Read("/m/Macro_EN.dat", u"Macros", u"0", 4000).size(), 3192U);
}

TEST_F(MacroPageTest, ExportThenImportRestoresTheMacroList) {
  SetMacros({MacroOf(u"a", kThreeEvents, kRepeatModeBit, 4), MacroOf(u"b")}, 0);
  page.OpenControls();
  state.Paths.ModuleDir = "/opt/tolvar";
  page.ExportMacros();  // cancelled
  EXPECT_TRUE(ini.values.empty());
  desktop.saveAnswer = "/x/out.dat";
  page.ExportMacros();
  ASSERT_EQ(desktop.asked.size(), 2U);
  EXPECT_EQ(desktop.asked[1].filterName, u"All Files(*.dat)");
  EXPECT_EQ(desktop.asked[1].pattern, u"*.dat");
  EXPECT_EQ(desktop.asked[1].defaultSuffix, u"dat");
  EXPECT_EQ(desktop.asked[1].startFolder, "/opt/tolvar");
  controls.ClickMacro(0);
  page.DeleteMacro();
  page.DeleteMacro();
  ASSERT_EQ(state.UserMacros.count, 0);
  page.ImportMacros();  // cancelled
  EXPECT_EQ(state.UserMacros.count, 0);
  desktop.openAnswer = "/x/out.dat";
  page.ImportMacros();
  EXPECT_EQ(state.UserMacros.count, 2);
  EXPECT_EQ(User(0), MacroOf(u"a", kThreeEvents, kRepeatModeBit, 4));
  EXPECT_EQ(controls.macroList.lines, (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(controls.macroList.selection, 1) << "the last macro is selected after a load";
  EXPECT_EQ(Published(0), User(0));

  desktop.openAnswer = "/x/none.dat";
  page.ImportMacros();
  EXPECT_EQ(state.UserMacros.count, 0) << "a file without a block empties the list";
  EXPECT_TRUE(controls.macroList.lines.empty());
}

// ---- the keyboard always given back ----

// A recording of "rec" (macro 1 of two) that captured A pressed and
// released, ended one way or another.
struct EndOfRecording {
  const char* what;
  void (*end)(MacroPage& page);
};

const EndOfRecording kEndsOfRecording[] = {
    {"Stop", [](MacroPage& page) { page.ToggleRecording(); }},
    {"leaving the page", [](MacroPage& page) { page.CloseControls(); }},
    {"the window's call before a dialog, a hide or a new list", [](MacroPage& page) { page.EndRecording(); }},
    {"export", [](MacroPage& page) { page.ExportMacros(); }},
    {"add", [](MacroPage& page) { page.AddMacro(); }},
    {"save", [](MacroPage& page) { page.SaveMacros(); }},
};

class RecordingEnds : public MacroPageTest, public ::testing::WithParamInterface<EndOfRecording> {
 protected:
  void StartRecordingOfRec() {
    SetMacros({MacroOf(u"other", kThreeEvents), MacroOf(u"rec", kThreeEvents)}, 1);
    page.OpenControls();
    page.ToggleRecording();
    ASSERT_TRUE(keys.Active());
    keys.Type(true, kVkA);
    time.now += 100;
    keys.Type(false, kVkA);
  }
};

TEST_P(RecordingEnds, AsStopEndsIt) {
  StartRecordingOfRec();
  GetParam().end(page);
  EXPECT_FALSE(state.Recording);
  EXPECT_FALSE(keys.Active()) << "the keyboard is given back";
  EXPECT_EQ(User(1).eventCount, 2);
  EXPECT_EQ(User(1).events[0], (MacroEvent{4, kActionPress, 100}));
  EXPECT_EQ(User(0), MacroOf(u"other", kThreeEvents));
  EXPECT_EQ(Published(1).eventCount, 2);
  keys.Type(true, kVkB);
  EXPECT_EQ(User(1).eventCount, 2) << "nothing is recorded after the end";
}

INSTANTIATE_TEST_SUITE_P(Ways, RecordingEnds, ::testing::ValuesIn(kEndsOfRecording));

TEST_F(RecordingEnds, TheEventEditsAndDeleteDoNothingWhileRecording) {
  StartRecordingOfRec();
  const UserMacroTable before = state.UserMacros;
  for (const int id : {kForwardLeftDown, kBackwardLeftDown, kBackwardMidUp, kModifyDelay, kDelete}) {
    EXPECT_TRUE(page.OnMenuCommand(id)) << id;
  }
  page.DeleteMacro();
  EXPECT_EQ(state.UserMacros.slots, before.slots);
  EXPECT_EQ(state.UserMacros.count, before.count);
  EXPECT_TRUE(state.Recording);
  EXPECT_EQ(controls.macroList.lines.size(), 2u);
}

TEST_F(RecordingEnds, StopEndsTheRecordingWhateverTheListHolds) {
  StartRecordingOfRec();
  controls.macroList.lines.clear();
  page.ToggleRecording();
  EXPECT_FALSE(state.Recording);
  EXPECT_FALSE(keys.Active());
}

TEST_F(RecordingEnds, ImportEndsTheRecordingBeforeTheNewListArrivesAndNeverWritesIntoIt) {
  StartRecordingOfRec();
  ASSERT_FALSE(SaveUserMacros(ini, "/x/in.dat", kMacroSection, [] {
    UserMacroTable table;
    table.slots[0] = MacroOf(u"new0", kThreeEvents);
    table.slots[1] = MacroOf(u"new1", kThreeEvents);
    table.count = 2;
    return table;
  }()));
  desktop.openAnswer = "/x/in.dat";
  page.ImportMacros();
  EXPECT_FALSE(state.Recording);
  EXPECT_FALSE(keys.Active());
  EXPECT_EQ(User(1), MacroOf(u"new1", kThreeEvents)) << "the recorded count is not stamped onto the imported macro";
  page.ToggleRecording();  // a new recording starts on the imported list
  EXPECT_TRUE(state.Recording);
  page.ToggleRecording();
  EXPECT_FALSE(keys.Active());
}

TEST_F(RecordingEnds, AListReplacedUnderTheRecordingGetsNothingFromIt) {
  StartRecordingOfRec();
  state.UserMacros.slots[1] = MacroOf(u"loaded", kThreeEvents);
  page.RefreshMacroList();
  EXPECT_FALSE(state.Recording);
  EXPECT_FALSE(keys.Active());
  EXPECT_EQ(User(1), MacroOf(u"loaded", kThreeEvents));
  page.ToggleRecording();  // Record again: a new recording, not a Stop into the new list
  page.ToggleRecording();
  EXPECT_EQ(User(1).eventCount, 0);
}

TEST_F(RecordingEnds, AClickOnTheMacroListWhileRecordingKeepsTheRecordedMacroShown) {
  StartRecordingOfRec();
  const std::vector<std::u16string> recorded = Lines();
  controls.ClickMacro(0);
  EXPECT_EQ(controls.macroList.selection, 1);
  EXPECT_EQ(state.SelectedMacro, 1);
  EXPECT_EQ(Lines(), recorded);
  keys.Type(true, kVkB);
  EXPECT_EQ(Lines().back(), u"[↓]B");
  EXPECT_EQ(User(0), MacroOf(u"other", kThreeEvents));
}

// The repeat count shows and can be edited only in mode 1 (repeat); any
// other mode, held (2) or a mode of both bits, shows 1, greyed.
TEST_F(MacroPageTest, TheRepeatEditFollowsModeOneOnly) {
  const struct {
    std::uint8_t mode;
    std::u16string text;
    bool enabled;
  } cases[] = {{kRepeatModeBit, u"7", true},
               {kHeldModeBit, u"1", false},
               {kRepeatModeBit | kHeldModeBit, u"1", false},
               {0, u"1", false}};
  for (const auto& c : cases) {
    SetMacros({MacroOf(u"m", kThreeEvents, c.mode, 7)}, 0);
    controls.repeatEdit.text = u"x";
    controls.repeatEdit.enabled = !c.enabled;
    page.OpenControls();
    EXPECT_EQ(controls.repeatEdit.text, c.text) << int(c.mode);
    EXPECT_EQ(controls.repeatEdit.enabled, c.enabled) << int(c.mode);
    page.CloseControls();
  }
}

TEST_F(MacroPageTest, SaveWritesTheMacroFileBeforeTheProfile) {
  SetMacros({MacroOf(u"a", kThreeEvents)}, 0);
  page.OpenControls();
  page.SaveMacros();
  EXPECT_EQ(ini.batchFiles, (std::vector<std::string>{"/m/Macro_EN.dat", "/m/config.ini"}));
}

TEST_F(MacroPageTest, StartUpSelectsTheLastEventLine) {
  SetMacros({MacroOf(u"a", kThreeEvents)}, 0);
  page.SelectLastEventLine();
  EXPECT_EQ(page.SelectedEventLine(), 4);
  SetMacros({MacroOf(u"a")}, 0);
  page.SelectLastEventLine();
  EXPECT_EQ(page.SelectedEventLine(), 0);
}

}  // namespace
}  // namespace tolvar

namespace tolvar {
namespace {

// Measures 2 px per character: every caption fits the 8 px rule.
class FixedWidthCanvas final : public Canvas {
 public:
  void CopyFromLayer(const LayerImage&, const PaintRect&) override {}
  void FillRect(const PaintRect&, Rgb) override {}
  TextSize MeasureText(const std::u16string& text, const FontSpec& font) override {
    fonts.push_back(font);
    return {2 * static_cast<int>(text.size()), 12};
  }
  void DrawText(int, int, const std::u16string&, const FontSpec&, Rgb) override {}
  std::vector<FontSpec> fonts;
};

TEST(ProgramMenus, BothMenusSpeakTheLanguageInItsOwnFace) {
  ProgramMenus menus;
  for (const std::uint8_t verSel : {1, 0}) {
    menus.Load(verSel);
    FixedWidthCanvas canvas;
    menus.eventMenu.MeasureEntry(canvas, 21);
    menus.trayMenu.MeasureEntry(canvas, 1);
    const FontSpec& face = verSel != 0 ? kFontEnglish : kFontOther;
    EXPECT_EQ(canvas.fonts, (std::vector<FontSpec>{face, face})) << int(verSel);
  }
}

TEST(ProgramMenus, BothMenusInBothLanguages) {
  ProgramMenus menus;
  for (const std::uint8_t verSel : {1, 0}) {
    menus.Load(verSel);
    EXPECT_EQ(menus.eventMenu.ItemCount(), 23);
    ASSERT_EQ(menus.trayMenu.ItemCount(), 4);
  }
  EXPECT_EQ(menus.trayMenu.Record(1), (MenuItemRecord{u"윈도우 보여주기   ", 32837}));
  FixedWidthCanvas narrow;
  EXPECT_EQ(menus.trayMenu.MeasureEntry(narrow, 1).width, 8 * 11) << "the three trailing blanks count";
  menus.Load(1);
  EXPECT_EQ(menus.trayMenu.Record(2), (MenuItemRecord{u"Profile per application...", 32839}));
  EXPECT_EQ(menus.trayMenu.Record(3), (MenuItemRecord{u"Exit Driver", 32800}));
  EXPECT_EQ(menus.eventMenu.Record(21).text, u"Modify Delay") << "reloaded in place";
}

}  // namespace
}  // namespace tolvar
