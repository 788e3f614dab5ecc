// The main window from the keyboard and as a screen reader sees it, on the
// delivered skin and data: every painted control named and reached by its
// press, states that follow the settings, Tab and the arrows, Space and
// Enter going through the click handlers, the focus mark, the function
// popup and the warning.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

#include "app/keyboard_focus.h"
#include "app/main_window.h"
#include "app/state_loading.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "platform/ini/ini_file_store.h"
#include "skin/hot_spots.h"
#include "skin/pages.h"
#include "support/child_process.h"
#include "support/fake_popups.h"
#include "unit/app/main_window_fakes.h"
#include "unit/macro_page/macro_page_fakes.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using namespace tolvar::testing;

class SizedImage final : public ImageSource {
 public:
  SizedImage(int width, int height) : width_(width), height_(height), row_(static_cast<std::size_t>(width) * 3, 0) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::span<const std::uint8_t> RgbRow(int) const override { return row_; }

 private:
  int width_, height_;
  std::vector<std::uint8_t> row_;
};

// The popups read their masks' sizes: 10 items of 24 and 12 of 20 pixels.
class MaskSizes final : public ImageFileReader {
 public:
  std::unique_ptr<ImageSource> ReadPixels(const std::string& path) override {
    if (path.ends_with("/menu_mask.jpg")) return std::make_unique<SizedImage>(120, 240);
    if (path.ends_with("/advanced menu_mask.jpg")) return std::make_unique<SizedImage>(150, 240);
    if (path.ends_with("/warning_mask.jpg")) return std::make_unique<SizedImage>(400, 150);
    return nullptr;
  }
};

class WindowKeyboard : public ::testing::Test {
 protected:
  WindowKeyboard() : dialogs_(log_), window_(log_), tray_(log_), menu_(log_) {
    fs::copy(fs::path(TOLVAR_SOURCE_DIR) / "skins", fs::path(folder_.Path()) / "skins", fs::copy_options::recursive);
    for (const auto& file : fs::directory_iterator(fs::path(TOLVAR_SOURCE_DIR) / "data")) {
      fs::copy_file(file.path(), fs::path(folder_.Path()) / file.path().filename());
    }
    state.ApplicationName = u"tolvar";
    state.Paths = ComputePaths(LocateFolders(folder_.Path(), {}));
    state.CurConfig = ReadCurConfig(ini, state.Paths.ConfigPath);
    LoadLanguage(1);
    LoadProfile(state, ini, dialogs_, state.Paths.ConfigPath, state.CurConfig, ProfileSource::OwnSection, false);
    state.MaskWidth = 900;
    state.MaskHeight = 560;
    dialog = std::make_unique<CTolvarDlg>(state,
                                          MainWindowPorts{ini,
                                                          dialogs_,
                                                          window_,
                                                          mouse_,
                                                          images_,
                                                          system_,
                                                          tray_,
                                                          menu_,
                                                          clock_,
                                                          programs_,
                                                          desktop,
                                                          popups,
                                                          {macroControls, keys, time, shownMenus},
                                                          {}},
                                          u"tolvar");
  }
  ~WindowKeyboard() override {
    state.CurrentPage = kMainPage;  // the colour page's animator ends
    while (state.PreviewRunning.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  void LoadLanguage(std::uint8_t verSel) {
    state.VER_SEL = verSel;
    state.Paths = ComputePaths(LocateFolders(folder_.Path(), {}));
    LoadAllSkins({ini, dialogs_, state.ApplicationName, state.Paths.SkinsDir, verSel, [] {}}, state.Skin);
  }

  // Sends keys to the window as the host does.
  void Keys(std::initializer_list<NavigationKey> keys) {
    for (NavigationKey key : keys) dialog->OnNavigationKey(key);
  }
  // Tabs until the focus rests on `id`; fails after a full round.
  void TabTo(ControlId id) {
    for (int i = 0; i < 200 && !(dialog->ViewState().Focus.shown && dialog->ViewState().Focus.control == id); ++i)
      Keys({NavigationKey::Tab});
    ASSERT_TRUE(dialog->ViewState().Focus.shown && dialog->ViewState().Focus.control == id) << "row " << id.row;
  }
  const WindowControl& Control(ControlId id) {
    controls_ = dialog->Controls();
    const WindowControl* found = FindControl(controls_, id);
    if (found == nullptr) throw std::runtime_error("no control of row " + std::to_string(id.row));
    return *found;
  }
  ProfileSettings Saved(int profile) {
    return ReadProfileSettings(ini, state.Paths.ConfigPath, ProfileSectionName(profile));
  }

  TempDir folder_;
  AppState state;
  IniFileStore ini;
  FakeDesktop desktop;
  FakePopupWindows popups;
  FakeControls macroControls;
  FakeKeyCapture keys;
  FakeTimeOfDay time;
  ScriptedMenus shownMenus;
  std::unique_ptr<CTolvarDlg> dialog;

 private:
  Log log_;
  FakeMouse mouse_{log_, true};
  LoggedDialogs dialogs_;
  LoggedWindow window_;
  MaskSizes images_;
  NoDesktop system_;
  LoggedTray tray_;
  LoggedMenu menu_;
  SteadyClock clock_;
  NoPrograms programs_;
  std::vector<WindowControl> controls_;
};

ControlId Main(int row) { return {HotSpotList::Main, row}; }
ControlId Advanced(int row) { return {HotSpotList::Advanced, row}; }

const std::uint8_t kPages[] = {kMainPage, kAdvancedPage, kColourPage};

TEST_F(WindowKeyboard, EveryControlOfEveryPageIsNamedInBothLanguagesAndItsCentreReachesIt) {
  for (const std::uint8_t verSel : {0, 1}) {
    LoadLanguage(verSel);
    for (const std::uint8_t page : kPages) {
      for (const std::uint8_t ledType : {0, 2}) {  // the colour page's list depends on the lighting
        state.CurrentPage = page;
        state.Settings.LED_TYPE = ledType;
        const std::vector<WindowControl> controls = dialog->Controls();
        ASSERT_GT(controls.size(), 19u);
        std::set<std::pair<int, int>> seen;
        for (const WindowControl& c : controls) {
          const std::string where = "language " + std::to_string(verSel) + ", page " + std::to_string(page) +
                                    ", list " + std::to_string(int(c.id.list)) + ", row " + std::to_string(c.id.row);
          EXPECT_FALSE(c.name.empty()) << where;
          EXPECT_TRUE(seen.insert({int(c.id.list), c.id.row}).second) << where << " is listed twice";
          const Point centre = CentreOf(c.spot);
          dialog->OnMouseMove(centre.x, centre.y);
          const int hover = c.id.list == HotSpotList::Main     ? dialog->ViewState().HoverMain
                            : c.id.list == HotSpotList::Colour ? dialog->ViewState().HoverColour
                                                               : dialog->ViewState().HoverAdvanced;
          EXPECT_EQ(hover, c.id.row) << where << ": a press at its centre reaches another row";
        }
      }
    }
  }
}

TEST_F(WindowKeyboard, NamesRolesAndStatesFollowTheSkinAndTheSettings) {
  state.CurConfig = 3;
  state.Settings.DPI_LEVEL = 1;
  SelectDpiValue(state.Settings, 1, 6);  // level 2: 1600 DPI
  state.Settings.DPI_SET_EN[4] = false;
  state.Settings.WHEEL_STATUS = 1;
  state.Settings.K[0] = 3;
  const struct {
    ControlId id;
    ControlRole role;
    std::u16string name;
    bool checked;
    bool unavailable;
  } cases[] = {
      {Main(main_row::kApply), ControlRole::PushButton, u"Apply", false, false},
      {Main(main_row::kProfiles.Row(2)), ControlRole::RadioButton, u"Profile 3", true, false},
      {Main(main_row::kProfiles.Row(0)), ControlRole::RadioButton, u"Profile 1", false, false},
      {Main(main_row::kMainTab), ControlRole::PageTab, u"Buttons & DPI", true, false},
      {Main(main_row::kEnglish), ControlRole::RadioButton, u"English", true, false},
      {Main(main_row::kMinimise), ControlRole::PushButton, u"Minimise", false, false},
      {Main(main_row::kLevelSelectors.Row(1)), ControlRole::RadioButton, u"Level 2: Use", true, false},
      {Main(main_row::kLevelSelectors.Row(4)), ControlRole::RadioButton, u"Level 5: Use", false, true},
      {Main(main_row::kLevelEnables.Row(4)), ControlRole::CheckBox, u"Level 5: On", false, false},
      {Main(main_row::kDpiCells.Row(12 + 6)), ControlRole::RadioButton, u"1600 DPI", true, false},
      {Main(main_row::kDpiCells.Row(12 + 7)), ControlRole::RadioButton, u"2000 DPI", false, false},
      {Main(main_row::kWheelOn), ControlRole::RadioButton, u"Wheel: On", true, false},
      {Main(main_row::kAssignments.first), ControlRole::PushButton,
       u"Left button: " + FunctionLabel(state.Skin.FunctionLabels, 3), false, false},
  };
  for (const auto& c : cases) {
    const WindowControl& control = Control(c.id);
    EXPECT_EQ(control.role, c.role) << c.id.row;
    EXPECT_EQ(control.name, c.name) << c.id.row;
    EXPECT_EQ(control.checked, c.checked) << c.id.row;
    EXPECT_EQ(control.unavailable, c.unavailable) << c.id.row;
  }
  EXPECT_EQ(Control(Main(main_row::kDpiCells.Row(12 + 6))).description, u"Level 2");

  state.CurrentPage = kAdvancedPage;
  state.Settings.FIRE_TIME = 120;
  const WindowControl& bar = Control(Advanced(advanced_row::kFireTimeBar));
  EXPECT_EQ(bar.role, ControlRole::Slider);
  ASSERT_TRUE(bar.value);
  EXPECT_EQ(*bar.value, (ControlValue{120, 0, kFireTimeMax}));
  EXPECT_TRUE(Control(Main(main_row::kAdvancedTab)).checked);
}

TEST_F(WindowKeyboard, NamesWithoutASkinLabelComeInTheInterfacesLanguage) {
  const struct {
    std::uint8_t verSel;
    int row;
    std::u16string name;
  } cases[] = {
      {1, main_row::kMinimise, u"Minimise"}, {0, main_row::kMinimise, u"최소화"},
      {1, main_row::kGuide, u"User guide"},  {0, main_row::kGuide, u"사용 설명서"},
      {0, main_row::kApply, u"적용"},        {0, main_row::kDpiCells.first, u"200 DPI"},
  };
  for (const auto& c : cases) {
    LoadLanguage(c.verSel);
    EXPECT_EQ(Control(Main(c.row)).name, c.name);
  }
}

TEST_F(WindowKeyboard, TabToADpiCellAndSpaceSelectsItThenTabToApplyAndSpaceSavesIt) {
  const int profile = state.CurConfig;
  const int firstCell = main_row::kDpiCells.Row(0);
  const int chosen = state.Settings.SelectedValueHotSpot[0];
  const int target = (chosen - firstCell + 3) % kDpiStepCount;
  TabTo(Main(chosen));  // a level's cells are one Tab stop, entered at the chosen value
  Keys({NavigationKey::Home});
  for (int i = 0; i < target; ++i) Keys({NavigationKey::Right});
  Keys({NavigationKey::Space});
  EXPECT_EQ(state.Settings.DPI_SET[0], target);
  EXPECT_EQ(dialog->ViewState().Focus.control, Main(firstCell + target));
  EXPECT_NE(Saved(profile).DPI_SET[0], target) << "not applied yet";
  TabTo(Main(main_row::kApply));
  Keys({NavigationKey::Enter});
  EXPECT_EQ(Saved(profile).DPI_SET[0], target);
}

TEST_F(WindowKeyboard, TheFocusMarkShowsAfterAKeyOnlyAndAClickHidesIt) {
  EXPECT_FALSE(FocusMarkSpot(state, dialog->ViewState())) << "nothing before the keyboard is used";
  Keys({NavigationKey::Tab});
  const std::optional<HotSpot> mark = FocusMarkSpot(state, dialog->ViewState());
  ASSERT_TRUE(mark);
  EXPECT_EQ(*mark, state.Skin.Main.Spot(dialog->ViewState().Focus.control.row));
  dialog->OnLButtonDown(1, 1);
  dialog->OnLButtonUp(1, 1);
  EXPECT_FALSE(FocusMarkSpot(state, dialog->ViewState()));
  // With the mark hidden, Space presses nothing a mouse user cannot see.
  const int profile = state.CurConfig;
  dialog->ViewState().Focus.control = Main(main_row::kProfiles.Row(profile == 1 ? 1 : 0));
  Keys({NavigationKey::Space});
  EXPECT_EQ(state.CurConfig.load(), profile);
}

TEST_F(WindowKeyboard, AKeyboardPressGoesThroughTheClickAndLeavesThePointersHover) {
  const HotSpot& save = state.Skin.Main.Spot(main_row::kSave);
  dialog->OnMouseMove(save.x + 1, save.y + 1);
  dialog->PressControl(Main(main_row::kProfiles.Row(3)));
  EXPECT_EQ(state.CurConfig.load(), 4);
  EXPECT_EQ(dialog->ViewState().HoverMain, main_row::kSave);
  EXPECT_FALSE(dialog->ViewState().Pressed);
}

TEST_F(WindowKeyboard, TheFireTimeSliderStepsWithTheArrowsAndTakesAValueWithinItsRange) {
  dialog->PressControl(Main(main_row::kAdvancedTab));
  ASSERT_EQ(state.CurrentPage.load(), kAdvancedPage);
  state.Settings.FIRE_TIME = 50;
  TabTo(Advanced(advanced_row::kFireTimeBar));
  Keys({NavigationKey::Right, NavigationKey::Right, NavigationKey::Up, NavigationKey::Left});
  EXPECT_EQ(state.Settings.FIRE_TIME, 52);
  EXPECT_EQ(dialog->ViewState().Focus.control, Advanced(advanced_row::kFireTimeBar));
  const struct {
    int asked;
    int result;
  } cases[] = {{100, 100}, {7, 7}, {kFireTimeMax + 40, kFireTimeMax}, {-3, 0}};
  for (const auto& c : cases) {
    dialog->SetControlValue(Advanced(advanced_row::kFireTimeBar), c.asked);
    EXPECT_EQ(state.Settings.FIRE_TIME, c.result) << c.asked;
  }
}

TEST_F(WindowKeyboard, OnTheAdvancedPageTabPassesToTheMacroEditorAfterTheLastControl) {
  dialog->PressControl(Main(main_row::kAdvancedTab));
  const std::vector<WindowControl> controls = dialog->Controls();
  dialog->ViewState().Focus = {controls.back().id, true};
  EXPECT_FALSE(dialog->OnNavigationKey(NavigationKey::Tab));
  EXPECT_FALSE(dialog->ViewState().Focus.shown);
  dialog->OnFocusEntered(false);  // Shift+Tab back from the editor's first widget
  EXPECT_TRUE(dialog->ViewState().Focus.shown);
  EXPECT_EQ(dialog->ViewState().Focus.control, NextTabStop(controls, {}, false, true));
  state.CurrentPage = kMainPage;
  dialog->ViewState().Focus = {dialog->Controls().back().id, true};
  EXPECT_TRUE(dialog->OnNavigationKey(NavigationKey::Tab)) << "other pages wrap round";
}

class KeyboardPopups : public WindowKeyboard {
 protected:
  KeyboardPopups() {
    for (int i = 0; i < kButtonCount; ++i) state.Settings.K[static_cast<std::size_t>(i)] = 1;  // no warning
  }
  // Opens the function popup of `button` from the keyboard.
  void Open(int button) {
    TabTo(Main(main_row::kAssignments.Row(button)));
    Keys({NavigationKey::Space});
    ASSERT_FALSE(popups.Showing().empty());
  }
  bool MenuOpen() {
    dialog->OnPaint();  // destroys a popup that a choice or Escape closed
    return !popups.Showing().empty();
  }
};

TEST_F(KeyboardPopups, ArrowsAndEnterChooseAFunctionOfTheFirstPopup) {
  Open(2);
  Keys({NavigationKey::Down, NavigationKey::Down, NavigationKey::Down, NavigationKey::Up, NavigationKey::Enter});
  EXPECT_EQ(state.Settings.K[2].load(), MainPopupItemCode(2));
  EXPECT_FALSE(MenuOpen());
  EXPECT_EQ(dialog->ViewState().Focus.control, Main(main_row::kAssignments.Row(2)))
      << "the focus returns to the button";
}

TEST_F(KeyboardPopups, RightEntersTheSecondaryListLeftAndEscapeLeaveIt) {
  Open(1);
  for (int i = 0; i < 8; ++i) Keys({NavigationKey::Down});  // item 8, a category
  ASSERT_EQ(dialog->ViewState().Popups.MenuHover, 8);
  ASSERT_EQ(popups.Showing().size(), 2u) << "its list opens beside the popup";
  Keys({NavigationKey::Right, NavigationKey::Down});
  Keys({NavigationKey::Left});
  EXPECT_EQ(dialog->ViewState().Popups.MenuHover, 8) << "back in the first popup";
  Keys({NavigationKey::Enter, NavigationKey::Down, NavigationKey::Down, NavigationKey::Escape, NavigationKey::Enter,
        NavigationKey::Down, NavigationKey::Enter});
  EXPECT_EQ(state.Settings.K[1].load(), 20 + 2) << "the second item of the category";
  EXPECT_FALSE(MenuOpen());
}

TEST_F(KeyboardPopups, EscapeClosesThePopupAndChangesNothing) {
  const std::int32_t before = state.Settings.K[3].load();
  Open(3);
  Keys({NavigationKey::Down, NavigationKey::Escape});
  EXPECT_FALSE(MenuOpen());
  EXPECT_EQ(state.Settings.K[3].load(), before);
  Keys({NavigationKey::Space});
  EXPECT_TRUE(MenuOpen()) << "Space on the button opens it again";
}

TEST_F(KeyboardPopups, TheWarningIsAnsweredWithTheKeyboard) {
  const struct {
    std::vector<NavigationKey> keys;
    bool menuOpens;
  } cases[] = {
      {{NavigationKey::Right, NavigationKey::Enter}, true},                         // the confirming button
      {{NavigationKey::Right, NavigationKey::Right, NavigationKey::Space}, false},  // the cancelling one
      {{NavigationKey::Escape}, false},
      {{NavigationKey::Enter, NavigationKey::Escape}, false},  // Enter with nothing lit does nothing
  };
  for (const auto& c : cases) {
    for (int i = 0; i < kButtonCount; ++i) state.Settings.K[static_cast<std::size_t>(i)] = i == 0 ? 1 : 2;
    popups.records.clear();
    popups.whileModal = [&](PopupRecord& record) {
      PopupHandlers& warning = *record.handlers;
      for (NavigationKey key : c.keys) {
        if (key == NavigationKey::Escape) {
          warning.OnCancel();  // the window's own Escape
        } else {
          warning.OnNavigationKey(key);
        }
      }
    };
    dialog->ViewState().Focus = {Main(main_row::kAssignments.first), true};
    Keys({NavigationKey::Space});
    EXPECT_EQ(MenuOpen(), c.menuOpens) << c.keys.size();
    Keys({NavigationKey::Escape});
    MenuOpen();
  }
}

}  // namespace
}  // namespace tolvar
