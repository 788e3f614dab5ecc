// The main window's mouse: hit tests, the press and release tables, the
// page switches, the function popups and the warning, and the whole-
// configuration operations of the header, on the delivered skin and data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "app/state_loading.h"
#include "base/text.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "skin/fonts.h"
#include "skin/pages.h"
#include "support/child_process.h"
#include "support/failing_ini_store.h"
#include "support/fake_popups.h"
#include "unit/app/main_window_fakes.h"
#include "unit/macro_page/macro_page_fakes.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using namespace tolvar::testing;

// A dark image of a fixed size: the popups read only their masks' sizes,
// the warning its mask's shape.
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

constexpr int kMenuWidth = 120;
constexpr int kMenuItemHeight = 24;     // menu_mask.jpg: 10 items
constexpr int kSubMenuItemHeight = 20;  // "advanced menu_mask.jpg": 12 items

class MaskSizes final : public ImageFileReader {
 public:
  std::unique_ptr<ImageSource> ReadPixels(const std::string& path) override {
    if (path.ends_with("/menu_mask.jpg")) return std::make_unique<SizedImage>(kMenuWidth, 10 * kMenuItemHeight);
    if (path.ends_with("/advanced menu_mask.jpg")) return std::make_unique<SizedImage>(150, 12 * kSubMenuItemHeight);
    if (path.ends_with("/warning_mask.jpg")) return std::make_unique<SizedImage>(300, 150);
    return nullptr;
  }
};

class SilentSettings final : public PointerSettings {
 public:
  std::optional<int> PointerSpeed() override { return std::nullopt; }
  void SetPointerSpeed(int) override {}
  std::optional<int> WheelScrollLines() override { return std::nullopt; }
  void SetWheelScrollLines(int) override {}
};

// The main window on a program folder with the delivered skin and data,
// not started: the state is loaded as start-up loads it, without the mouse.
class MainWindowInput : public ::testing::Test {
 protected:
  MainWindowInput() : dialogs_(log), window_(log), tray_(log), menu_(log) {
    fs::copy(fs::path(TOLVAR_SOURCE_DIR) / "skins", fs::path(folder_.Path()) / "skins", fs::copy_options::recursive);
    for (const auto& file : fs::directory_iterator(fs::path(TOLVAR_SOURCE_DIR) / "data")) {
      fs::copy_file(file.path(), fs::path(folder_.Path()) / file.path().filename());
    }
    state.ApplicationName = u"tolvar";
    state.Paths = ComputePaths(LocateFolders(folder_.Path(), {}));
    state.CurConfig = ReadCurConfig(ini, state.Paths.ConfigPath);
    state.VER_SEL = ReadLanguage(ini, state.Paths.ConfigPath);
    LoadProfile(state, ini, dialogs_, state.Paths.ConfigPath, state.CurConfig, ProfileSource::OwnSection, false);
    LoadAllSkins(Skins(), state.Skin);
    LoadUserMacros(state, ini, dialogs_, UserMacroFileOf(state), kMacroSection);
    state.MaskWidth = 800;
    state.MaskHeight = 600;
    window_.origin = {1000, 2000};
    dialog = std::make_unique<CTolvarDlg>(state,
                                          MainWindowPorts{store,
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

  ~MainWindowInput() override {
    // The colour page's preview animator ends once the page is left; the
    // window it repaints must outlive it.
    state.CurrentPage = kMainPage;
    while (state.PreviewRunning.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  SkinSource Skins() {
    return {ini, dialogs_, state.ApplicationName, state.Paths.SkinsDir, state.VER_SEL, [] {}};
  }

  // The centre of a row of a page's layout.
  template <std::size_t N>
  static Point Centre(const SkinPage<N>& page, int row) {
    const HotSpot& spot = page.Spot(row);
    return {spot.x + spot.width / 2, spot.y + spot.height / 2};
  }
  void MoveTo(Point p) { dialog->OnMouseMove(p.x, p.y); }
  void ClickAt(Point p) {
    MoveTo(p);
    dialog->OnLButtonDown(p.x, p.y);
    dialog->OnLButtonUp(p.x, p.y);
  }
  void ClickMain(int row) { ClickAt(Centre(state.Skin.Main, row)); }
  void ClickColour(int row) { ClickAt(Centre(state.Skin.Colour, row)); }
  void ClickAdvanced(int row) { ClickAt(Centre(state.Skin.Advanced, row)); }
  // A point on no hot spot of any of the three lists.
  Point Nowhere() const { return {state.MaskWidth + 50, state.MaskHeight + 50}; }
  ProfileSettings Saved(int profile) {
    return ReadProfileSettings(ini, state.Paths.ConfigPath, ProfileSectionName(profile));
  }

  Log log;
  TempDir folder_;
  AppState state;
  IniFileStore ini;
  FailingIniStore store{ini};  // the window's store: fails its writes on demand
  FakeDesktop desktop;
  FakePopupWindows popups;
  FakeControls macroControls;
  FakeKeyCapture keys;
  FakeTimeOfDay time;
  ScriptedMenus shownMenus;
  std::unique_ptr<CTolvarDlg> dialog;

 private:
  FakeMouse mouse_{log, true};
  LoggedDialogs dialogs_;
  LoggedWindow window_;
  MaskSizes images_;
  SilentSettings system_;
  LoggedTray tray_;
  LoggedMenu menu_;
  SteadyClock clock_;
  NoPrograms programs_;

 protected:
  LoggedWindow& Window() { return window_; }
};

// The values of a profile or macro block, in the order a save writes them.
std::vector<std::u16string> Values(const std::vector<IniEntry>& entries) {
  std::vector<std::u16string> values;
  for (const IniEntry& e : entries) values.push_back(e.value);
  return values;
}

// ---- Hovering ----

TEST_F(MainWindowInput, HoverRepaintsOncePerChangeAndNeverWithinOneHotSpot) {
  const HotSpot& apply = state.Skin.Main.Spot(main_row::kApply);
  MoveTo({apply.x, apply.y});
  EXPECT_EQ(dialog->ViewState().HoverMain, 3);
  EXPECT_EQ(Window().updates.load(), 1);
  MoveTo({apply.x + apply.width - 1, apply.y + apply.height - 1});
  EXPECT_EQ(Window().updates.load(), 1) << "a move within the hot spot repaints nothing";
  MoveTo({apply.x + apply.width, apply.y});  // the right edge is outside
  EXPECT_NE(dialog->ViewState().HoverMain, 3);
  EXPECT_EQ(Window().updates.load(), 2);
}

TEST_F(MainWindowInput, HitTestTakesTheFirstRowAndExcludesRightAndBottomEdges) {
  state.Skin.Main.spots[40] = {0, 0, 10, 10};
  state.Skin.Main.spots[41] = {0, 0, 20, 20};  // overlaps row 40: row 40 comes first
  for (auto& spot : state.Skin.Main.spots) {
    if (&spot != &state.Skin.Main.spots[40] && &spot != &state.Skin.Main.spots[41]) spot = {};
  }
  const struct {
    Point at;
    int hover;
  } cases[] = {{{0, 0}, 40},   {{9, 9}, 40},     {{10, 5}, 41},   {{5, 10}, 41},
               {{19, 19}, 41}, {{20, 5}, kNone}, {{5, 20}, kNone}};
  for (const auto& c : cases) {
    MoveTo(c.at);
    EXPECT_EQ(dialog->ViewState().HoverMain, c.hover) << c.at.x << "," << c.at.y;
  }
}

TEST_F(MainWindowInput, OtherPagesTestOnlyTheHeaderRowsOfTheMainList) {
  ClickMain(11);  // the colour page
  ASSERT_EQ(state.CurrentPage.load(), 2);
  MoveTo(Centre(state.Skin.Main, 66));
  EXPECT_NE(dialog->ViewState().HoverMain, 66);
  MoveTo(Centre(state.Skin.Main, 3));
  EXPECT_EQ(dialog->ViewState().HoverMain, 3);
}

TEST_F(MainWindowInput, ColourListIsShortenedUnlessTheLightingCycles) {
  ClickMain(11);
  state.Settings.LED_TYPE = 2;
  MoveTo(Centre(state.Skin.Colour, 11));
  EXPECT_EQ(dialog->ViewState().HoverColour, 11);
  MoveTo(Centre(state.Skin.Colour, 12));
  EXPECT_EQ(dialog->ViewState().HoverColour, kNone);
  ClickColour(11);
  EXPECT_EQ(state.Settings.LED_CYC_TIME.load(), 5);
  state.Settings.LED_TYPE = 1;
  MoveTo(Centre(state.Skin.Colour, 12));
  EXPECT_EQ(dialog->ViewState().HoverColour, 12);
}

// ---- The press tables ----

TEST_F(MainWindowInput, MainPageSettingsFollowTheirRows) {
  const struct {
    int row;
    std::function<bool(const ProfileSettings&)> holds;
    const char* what;
  } cases[] = {
      {32, [](const ProfileSettings& s) { return s.WHEEL_STATUS == 0; }, "wheel off"},
      {33, [](const ProfileSettings& s) { return s.WHEEL_STATUS == 1; }, "wheel on"},
      {66 + 12 * 2 + 7, [](const ProfileSettings& s) { return s.DPI_SET[2] == 7; }, "level 2, value 7"},
      {66 + 11, [](const ProfileSettings& s) { return s.DPI_SET[0] == 11; }, "level 0, value 11"},
      {137, [](const ProfileSettings& s) { return s.DPI_SET[5] == 11; }, "the last cell"},
      {60 + 3, [](const ProfileSettings& s) { return s.DPI_LEVEL == 3; }, "select level 3"},
      {47 + 4, [](const ProfileSettings& s) { return !s.DPI_SET_EN[4]; }, "disable level 4"},
  };
  for (const auto& c : cases) {
    ClickMain(c.row);
    EXPECT_TRUE(c.holds(state.Settings)) << c.what;
  }
}

TEST_F(MainWindowInput, AdvancedPageSettingsFollowTheirRows) {
  ClickMain(10);
  ASSERT_EQ(state.CurrentPage.load(), 1);
  ClickAdvanced(8 + 6);
  EXPECT_EQ(state.Settings.DPI_SPEED, 6);
  ClickAdvanced(18 + 9);
  EXPECT_EQ(state.Settings.WHEEL_SPEED, 9);
  ClickAdvanced(34 + 2);
  EXPECT_EQ(state.Settings.USB_SPEED, 2);

  const HotSpot& bar = state.Skin.Advanced.Spot(advanced_row::kFireTimeBar);
  ClickAt({bar.x + bar.width / 2, bar.y + 1});
  EXPECT_EQ(state.Settings.FIRE_TIME, (bar.width / 2) * 300 / bar.width);
  const std::int32_t before = state.Settings.FIRE_TIME;
  ClickAdvanced(31);
  ClickAdvanced(31);
  ClickAdvanced(32);
  EXPECT_EQ(state.Settings.FIRE_TIME, before + 1);
}

TEST_F(MainWindowInput, ColourPageSettingsFollowTheirRows) {
  ClickMain(11);
  ClickColour(8);
  EXPECT_EQ(state.Settings.LED_TYPE.load(), 1);
  ClickColour(16);
  EXPECT_EQ(state.Settings.LED_CYC_TIME.load(), 0);
  ClickColour(13);
  EXPECT_EQ(state.Settings.LED_CYC_TIME.load(), 3);
  const bool wasOn = state.Settings.CYC_7COL_EN[4];
  ClickColour(4);
  EXPECT_NE(state.Settings.CYC_7COL_EN[4].load(), wasOn);
}

TEST_F(MainWindowInput, PageTabsSwitchAsTheTablesSay) {
  const struct {
    int from;
    int tabRow;
    int to;
  } cases[] = {{0, 10, 1}, {1, 9, 0}, {0, 11, 2}, {2, 10, 1}, {1, 11, 2}, {2, 9, 0}, {0, 9, 0}, {1, 10, 1}, {2, 11, 2}};
  for (const auto& c : cases) {
    state.CurrentPage = static_cast<std::uint8_t>(c.from);
    ClickMain(c.tabRow);
    EXPECT_EQ(state.CurrentPage.load(), c.to) << c.from << " via row " << c.tabRow;
  }
}

TEST_F(MainWindowInput, PressesOnNoHotSpotDragTheWindowOnlyOffTheHeaderToo) {
  log.clear();
  ClickAt(Nowhere());
  EXPECT_EQ(Window().drags, 1);
  ClickMain(10);
  // On the advanced page, a header row under the cursor prevents the drag.
  const HotSpot& header = state.Skin.Main.Spot(main_row::kYellowLabel);
  ClickAt({header.x + 1, header.y + 1});
  EXPECT_EQ(Window().drags, 1);
  ClickAt(Nowhere());
  EXPECT_EQ(Window().drags, 2);
  ClickMain(9);
}

TEST_F(MainWindowInput, PressedIsSetOverAHotSpotAndClearedOnRelease) {
  MoveTo(Centre(state.Skin.Main, 3));
  dialog->OnLButtonDown(0, 0);
  EXPECT_TRUE(dialog->ViewState().Pressed);
  dialog->OnLButtonUp(0, 0);
  EXPECT_FALSE(dialog->ViewState().Pressed);
  MoveTo(Nowhere());
  dialog->OnLButtonDown(0, 0);
  EXPECT_FALSE(dialog->ViewState().Pressed);
}

TEST_F(MainWindowInput, LevelColourComesFromTheColourDialogAndCancelKeepsIt) {
  desktop.colourAnswer = Rgb{255, 0, 16};
  ClickMain(41 + 2);
  EXPECT_EQ(desktop.colourAskedWith, (Rgb{0, 0, 0}));
  EXPECT_EQ(state.Settings.DPI_R[2], 0);
  EXPECT_EQ(state.Settings.DPI_G[2], 15);
  EXPECT_EQ(state.Settings.DPI_B[2], 14);
  desktop.colourAnswer.reset();
  ClickMain(41 + 2);
  EXPECT_EQ(state.Settings.DPI_G[2], 15);
}

// ---- The header's release table ----

TEST_F(MainWindowInput, ProfileButtonsLoadTheirProfileAndSaveStoresTheCurrentOne) {
  ClickMain(4 + 2);  // profile 3
  EXPECT_EQ(state.CurConfig.load(), 3);
  EXPECT_EQ(state.Settings.K[0].load(), Saved(3).K[0].load());
  ClickMain(66 + 5);
  ClickMain(0);
  EXPECT_EQ(Saved(3).DPI_SET[0], 5);
}

TEST_F(MainWindowInput, HideDropsUnappliedEditsButKeepsTheDpiLevel) {
  const ProfileSettings applied = Saved(6);
  ClickMain(33);
  ClickMain(33 - 1);
  state.Settings.WHEEL_STATUS = applied.WHEEL_STATUS == 0 ? 1 : 0;
  state.Settings.DPI_LEVEL = 4;
  ClickMain(2);
  EXPECT_EQ(state.Settings.WHEEL_STATUS, applied.WHEEL_STATUS);
  EXPECT_EQ(state.Settings.DPI_LEVEL.load(), 4);
  EXPECT_EQ(Saved(6).DPI_LEVEL.load(), 4);
  EXPECT_EQ(dialog->ViewState().HoverMain, kNone);
}

// Header row 12 minimises the window, row 13 hides it to the tray.
TEST_F(MainWindowInput, MinimiseAndToTrayAreTheirOwnRows) {
  const struct {
    int row;
    std::vector<std::string> log;
  } cases[] = {{12, {"minimise"}}, {13, {"minimise", "tray add 153"}}};
  for (const auto& c : cases) {
    log.clear();
    ClickMain(c.row);
    EXPECT_EQ(log, c.log) << c.row;
  }
}

TEST_F(MainWindowInput, TheWebButtonOpensTheGuideBesideTheProgramInTheInterfacesLanguage) {
  for (const auto& [verSel, page] : {std::pair<std::uint8_t, std::string>{1, "/guide/index.html"},
                                     std::pair<std::uint8_t, std::string>{0, "/guide/index-ko.html"}}) {
    desktop.pagesOpened.clear();
    state.VER_SEL = verSel;
    ClickMain(19);
    ASSERT_EQ(desktop.pagesOpened.size(), 1u);
    EXPECT_EQ(desktop.pagesOpened[0], folder_.Path() + page);
    EXPECT_TRUE(std::filesystem::is_regular_file(TOLVAR_SOURCE_DIR + page)) << page;
  }
}

TEST_F(MainWindowInput, TheDesktopsDialogsFollowTheLanguageSwitch) {
  for (const std::uint8_t verSel : {0, 1, 0}) {
    ClickMain(verSel != 0 ? 18 : 17);
    EXPECT_EQ(state.VER_SEL, verSel);
    ASSERT_FALSE(desktop.languages.empty());
    EXPECT_EQ(desktop.languages.back(), verSel);
  }
}

// ---- The function popups and the warning ----

TEST_F(MainWindowInput, WarningComesOnlyWhenNoOtherButtonHoldsThePrimaryClick) {
  const struct {
    std::array<std::int32_t, 6> k;
    int button;
    bool warned;
  } cases[] = {
      {{1, 2, 3, 1, 4, 6}, 3, false},
      {{2, 2, 3, 1, 4, 6}, 3, true},
      {{2, 2, 3, 5, 4, 6}, 0, true},  // no button holds it at all
      {{1, 2, 3, 5, 4, 6}, 2, false},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 6; ++i) state.Settings.K[i] = c.k[i];
    popups.records.clear();
    popups.modalResults = {kWarningConfirmed};
    ClickMain(20 + c.button);
    const bool warned = !popups.records.empty() && popups.records.front()->modal;
    EXPECT_EQ(warned, c.warned) << "button " << c.button;
    ClickAt(Nowhere());  // closes the popup
  }
}

TEST_F(MainWindowInput, CancelledWarningOpensNoPopupAndConfirmedOneOpensItAtTheButton) {
  for (int i = 0; i < 6; ++i) state.Settings.K[i] = i == 0 ? 1 : 2;
  popups.modalResults = {kWarningCancelled};
  ClickMain(20);
  ASSERT_EQ(popups.records.size(), 1u);
  EXPECT_TRUE(popups.records[0]->destroyed);
  EXPECT_TRUE(popups.Showing().empty());

  popups.modalResults = {kWarningConfirmed};
  ClickMain(20);
  const auto showing = popups.Showing();
  ASSERT_EQ(showing.size(), 1u);
  const HotSpot& button = state.Skin.Main.Spot(main_row::kAssignments.first);
  EXPECT_EQ(showing[0]->title, u"MainMenuDlg");
  EXPECT_EQ(showing[0]->origin, (Point{1000 + button.x, 2000 + button.y + button.height}));
  EXPECT_EQ(showing[0]->shape.Rects(), (std::vector<Rect>{{0, 0, kMenuWidth, 10 * kMenuItemHeight + 1}}));
  EXPECT_EQ(dialog->ViewState().Popups.EditedButton, 20);
}

// ---- The warning's handlers and the popups' painting ----

// Layers named by their file; a canvas that logs each copy and text.
struct NamedLayer final : public LayerImage {
  explicit NamedLayer(std::string file) : path(std::move(file)) {}
  std::string path;
};
class NamedLayers final : public LayerImages {
 public:
  std::shared_ptr<const LayerImage> Load(const std::string& path) override {
    return std::make_shared<NamedLayer>(path.substr(path.rfind('/') + 1));
  }
};
class PaintLog final : public Canvas {
 public:
  struct Copy {
    std::string layer;
    PaintRect rect;
  };
  struct Text {
    int x, y;
    std::u16string text;
    FontSpec font;
    Rgb colour;
  };
  void CopyFromLayer(const LayerImage& layer, const PaintRect& rect) override {
    copies.push_back({static_cast<const NamedLayer&>(layer).path, rect});
  }
  void FillRect(const PaintRect&, Rgb) override {}
  TextSize MeasureText(const std::u16string& text, const FontSpec&) override {
    return {6 * static_cast<int>(text.size()), 12};
  }
  void DrawText(int x, int y, const std::u16string& text, const FontSpec& font, Rgb colour) override {
    texts.push_back({x, y, text, font, colour});
  }
  std::vector<Copy> copies;
  std::vector<Text> texts;
};

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// The warning comes up (no other button has the primary click); what the
// user does in it decides whether the function popup opens.
TEST_F(MainWindowInput, TheWarningConfirmsOrCancelsByTheButtonReleasedOn) {
  const HotSpot confirm = state.Skin.Warning.Spot(0);
  const HotSpot cancel = state.Skin.Warning.Spot(1);
  const HotSpot message = state.Skin.Warning.Spot(2);
  struct Case {
    const char* what;
    std::function<void(PopupHandlers&)> act;
    bool menuOpens;
  };
  const auto releaseOn = [](HotSpot spot) {
    return [spot](PopupHandlers& warning) {
      warning.OnMouseMove(spot.x + 2, spot.y + 2);
      warning.OnLButtonDown(spot.x + 2, spot.y + 2);
      warning.OnLButtonUp(spot.x + 2, spot.y + 2);
    };
  };
  const Case cases[] = {
      {"released on confirm", releaseOn(confirm), true},
      {"released on cancel", releaseOn(cancel), false},
      {"Escape or the window system's close", [](PopupHandlers& warning) { warning.OnCancel(); }, false},
      {"released on the message (nothing), then on confirm",
       [&](PopupHandlers& warning) {
         releaseOn(message)(warning);
         releaseOn(confirm)(warning);
       },
       true},
      {"hovered confirm, released on cancel",
       [&](PopupHandlers& warning) {
         warning.OnMouseMove(confirm.x + 2, confirm.y + 2);
         releaseOn(cancel)(warning);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int i = 0; i < 6; ++i) state.Settings.K[i] = i == 0 ? 1 : 2;
    popups.whileModal = nullptr;
    ClickAt(Nowhere());  // closes a popup left open
    popups.records.clear();
    popups.whileModal = [&](PopupRecord& warning) { c.act(*warning.handlers); };
    ClickMain(20);
    ASSERT_FALSE(popups.records.empty());
    EXPECT_TRUE(popups.records[0]->modal);
    EXPECT_TRUE(popups.records[0]->destroyed);
    const auto showing = popups.Showing();
    EXPECT_EQ(!showing.empty() && showing.back()->title == u"MainMenuDlg", c.menuOpens);
    EXPECT_EQ(state.Settings.K[0].load(), 1) << "the warning alone assigns nothing";
  }
}

TEST_F(MainWindowInput, TheWarningPaintsItsTextsAndTheHoveredButton) {
  for (const std::uint8_t verSel : {1, 0}) {
    state.VER_SEL = verSel;
    LoadAllSkins(Skins(), state.Skin);
    for (int i = 0; i < 6; ++i) state.Settings.K[i] = i == 0 ? 1 : 2;
    popups.whileModal = nullptr;
    ClickAt(Nowhere());
    const HotSpot cancel = state.Skin.Warning.Spot(1);
    std::array<PaintLog, 2> paints;
    popups.whileModal = [&](PopupRecord& warning) {
      NamedLayers layers;
      warning.handlers->OnPaint(paints[0], layers);
      const int before = warning.invalidations;
      warning.handlers->OnMouseMove(cancel.x + 1, cancel.y + 1);
      EXPECT_GT(warning.invalidations, before) << "a new hover repaints";
      warning.handlers->OnPaint(paints[1], layers);
      warning.handlers->OnCancel();
    };
    ClickMain(20);
    const FontSpec& font = verSel != 0 ? kFontEnglish : kFontOther;
    ASSERT_EQ(paints[0].copies.size(), 1u) << "only the normal image without a hover";
    EXPECT_EQ(paints[0].copies[0].layer, "warning_normal.jpg");
    EXPECT_EQ(paints[0].copies[0].rect, (PaintRect{0, 0, 300, 150}));
    ASSERT_EQ(paints[1].copies.size(), 2u);
    EXPECT_EQ(paints[1].copies[1].layer, "warning_over.jpg");
    EXPECT_EQ(paints[1].copies[1].rect, (PaintRect{cancel.x, cancel.y, cancel.width, cancel.height}));
    std::vector<std::u16string> texts;
    for (int row = 0; row < 3; ++row) {
      const std::u16string& label = state.Skin.Warning.labels[row];
      if (label.empty()) continue;
      texts.push_back(label);
      const HotSpot spot = state.Skin.Warning.Spot(row);
      const auto drawn = std::find_if(paints[1].texts.begin(), paints[1].texts.end(),
                                      [&](const PaintLog::Text& t) { return t.text == label; });
      ASSERT_NE(drawn, paints[1].texts.end());
      EXPECT_EQ(drawn->x, spot.x + (spot.width - 6 * static_cast<int>(label.size())) / 2) << "centred";
      EXPECT_EQ(drawn->y, spot.y + (spot.height - 12) / 2);
      EXPECT_EQ(drawn->colour, kRed);
      EXPECT_EQ(drawn->font, font);
    }
    EXPECT_FALSE(texts.empty());
    EXPECT_EQ(paints[1].texts.size(), texts.size());
  }
}

class FunctionPopups : public MainWindowInput {
 protected:
  // Opens the popup of `button` while another button keeps the primary click.
  PopupRecord& Open(int button) {
    for (int i = 0; i < 6; ++i) state.Settings.K[i] = 1;
    ClickMain(20 + button);
    return *popups.Showing().back();
  }
  static void Hover(PopupRecord& popup, int item, int itemHeight) {
    popup.handlers->OnMouseMove(5, (item - 1) * itemHeight + 1);
  }
  static void Choose(PopupRecord& popup, int item, int itemHeight) {
    Hover(popup, item, itemHeight);
    popup.handlers->OnLButtonDown(5, (item - 1) * itemHeight + 1);
    popup.handlers->OnLButtonUp(5, (item - 1) * itemHeight + 1);
  }
  void PaintMain() { dialog->OnPaint(); }
};

TEST_F(FunctionPopups, DirectItemsAssignAndClose) {
  PopupRecord& menu = Open(2);
  Choose(menu, 3, kMenuItemHeight);
  EXPECT_EQ(state.Settings.K[2].load(), 3);
  EXPECT_FALSE(menu.shown);
  PaintMain();
  EXPECT_TRUE(menu.destroyed);
}

TEST_F(FunctionPopups, PrimaryClickMovesToTheNextButtonOrStaysOnTheLast) {
  for (int i = 0; i < 6; ++i) state.Settings.K[i] = i == 0 ? 1 : 4;
  popups.modalResults = {kWarningConfirmed};
  ClickMain(20);
  Choose(*popups.Showing().back(), 2, kMenuItemHeight);
  EXPECT_EQ(state.Settings.K[0].load(), 2);
  EXPECT_EQ(state.Settings.K[1].load(), 1);

  PaintMain();
  for (int i = 0; i < 6; ++i) state.Settings.K[i] = i == 5 ? 1 : 4;
  popups.modalResults = {kWarningConfirmed};
  ClickMain(25);
  Choose(*popups.Showing().back(), 2, kMenuItemHeight);
  EXPECT_EQ(state.Settings.K[5].load(), 1);
}

TEST_F(FunctionPopups, CategoriesOpenTheSecondaryPopupBesideTheFirst) {
  state.UserMacros.count = 9;
  const struct {
    int item;
    int count;
    int offsetItems;
  } cases[] = {{7, 6, 1}, {8, 10, -2}, {9, 9, 0}, {10, 8, 2}};
  PopupRecord& menu = Open(1);
  for (const auto& c : cases) {
    Hover(menu, c.item, kMenuItemHeight);
    const auto showing = popups.Showing();
    ASSERT_EQ(showing.size(), 2u) << c.item;
    const PopupRecord& sub = *showing.back();
    EXPECT_EQ(sub.origin, (Point{menu.origin.x + kMenuWidth, menu.origin.y + c.offsetItems * kMenuItemHeight}));
    EXPECT_EQ(dialog->ViewState().Popups.SubMenuCount, c.count);
    EXPECT_EQ(sub.shape.Rects(), (std::vector<Rect>{{0, 0, 150, c.count * kSubMenuItemHeight + 1}}));
  }
  Hover(menu, 3, kMenuItemHeight);
  EXPECT_EQ(popups.Showing().size(), 1u) << "no category hovered, no secondary popup";
}

TEST_F(FunctionPopups, TwelveMacrosOpenThreeItemsAboveAndNoneShowsNothing) {
  state.UserMacros.count = 12;
  PopupRecord& menu = Open(1);
  Hover(menu, 9, kMenuItemHeight);
  EXPECT_EQ(popups.Showing().back()->origin.y, menu.origin.y - 3 * kMenuItemHeight);
  Hover(menu, 1, kMenuItemHeight);
  state.UserMacros.count = 0;
  Hover(menu, 9, kMenuItemHeight);
  EXPECT_EQ(dialog->ViewState().Popups.SubMenuCount, 0);
  EXPECT_TRUE(popups.Showing().back()->shape.IsEmpty()) << "a secondary popup of no items has no pixels";
}

TEST_F(FunctionPopups, SecondaryChoicesAssignTheirCodeAndCloseBothPopups) {
  state.UserMacros.count = 3;
  const struct {
    int category;
    int item;
    std::int32_t code;
  } cases[] = {{7, 1, 11}, {7, 6, 16}, {8, 10, 30}, {10, 8, 38}, {9, 2, 42}};
  for (const auto& c : cases) {
    PopupRecord& menu = Open(4);
    Hover(menu, c.category, kMenuItemHeight);
    PopupRecord& sub = *popups.Showing().back();
    Choose(sub, c.item, kSubMenuItemHeight);
    EXPECT_EQ(state.Settings.K[4].load(), c.code) << c.category << "/" << c.item;
    EXPECT_TRUE(popups.Showing().empty());
    PaintMain();
    EXPECT_TRUE(menu.destroyed);
    EXPECT_TRUE(sub.destroyed);
    EXPECT_FALSE(dialog->ViewState().Popups.CloseMenuRequest);
  }
}

TEST_F(FunctionPopups, ReleasingOnACategoryOrBelowTheItemsChoosesNothing) {
  PopupRecord& menu = Open(1);
  const std::int32_t before = state.Settings.K[1];
  Choose(menu, 7, kMenuItemHeight);
  Choose(menu, 11, kMenuItemHeight);
  EXPECT_EQ(dialog->ViewState().Popups.MenuHover, 11);
  EXPECT_EQ(state.Settings.K[1].load(), before);
  EXPECT_TRUE(menu.shown);
}

TEST_F(FunctionPopups, EscapeInTheMainWindowAndTheWindowSystemsCloseEndThePopupWithoutAChoice) {
  struct Case {
    const char* what;
    void (*cancel)(CTolvarDlg& dialog, PopupRecord& menu);
  };
  const Case cases[] = {
      {"Escape typed in the main window (the popup has no focus)",
       [](CTolvarDlg& dialog, PopupRecord&) {
         EXPECT_TRUE(dialog.FilterKeyMessage({true, kVkEscape}));
       }},
      {"Escape typed in the popup, or the window system's close",
       [](CTolvarDlg&, PopupRecord& menu) { menu.handlers->OnCancel(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PopupRecord& menu = Open(3);
    const std::int32_t before = state.Settings.K[3];
    Hover(menu, 8, kMenuItemHeight);
    ASSERT_EQ(popups.Showing().size(), 2u);
    const int repaints = Window().invalidations;
    c.cancel(*dialog, menu);
    EXPECT_TRUE(popups.Showing().empty()) << "both popups hidden";
    EXPECT_GT(Window().invalidations, repaints) << "the main window repaints, and its paint destroys them";
    PaintMain();
    EXPECT_TRUE(menu.destroyed);
    EXPECT_EQ(state.Settings.K[3].load(), before);
  }
  EXPECT_TRUE(dialog->FilterKeyMessage({true, kVkEscape})) << "without a popup Escape is still swallowed";
}

// Under X11 the window that took a press keeps the pointer until the
// release: the main window sees the drag from an assignment button, the
// first popup the drag from a category.
TEST_F(FunctionPopups, APressOnAnAssignmentButtonDraggedOntoAnItemChoosesIt) {
  for (int i = 0; i < 6; ++i) state.Settings.K[i] = 1;
  const Point button = Centre(state.Skin.Main, 22);
  MoveTo(button);
  dialog->OnLButtonDown(button.x, button.y);
  PopupRecord& menu = *popups.Showing().back();
  // Client points of the main window over the first popup's item 4.
  const Point window = Window().origin;
  const Point overItem4{menu.origin.x - window.x + 5, menu.origin.y - window.y + 3 * kMenuItemHeight + 2};
  MoveTo(overItem4);
  EXPECT_EQ(dialog->ViewState().Popups.MenuHover, 4);
  dialog->OnLButtonUp(overItem4.x, overItem4.y);
  EXPECT_EQ(state.Settings.K[2].load(), 4);
  EXPECT_TRUE(popups.Showing().empty());
}

TEST_F(FunctionPopups, APressDraggedThroughACategoryIntoItsListChoosesThere) {
  for (int i = 0; i < 6; ++i) state.Settings.K[i] = 1;
  const Point button = Centre(state.Skin.Main, 21);
  MoveTo(button);
  dialog->OnLButtonDown(button.x, button.y);
  PopupRecord& menu = *popups.Showing().back();
  const Point window = Window().origin;
  const auto client = [&](Point screen) { return Point{screen.x - window.x, screen.y - window.y}; };
  MoveTo(client({menu.origin.x + 5, menu.origin.y + 6 * kMenuItemHeight + 2}));  // category 7
  ASSERT_EQ(popups.Showing().size(), 2u);
  PopupRecord& sub = *popups.Showing().back();
  const Point overSub3 = client({sub.origin.x + 5, sub.origin.y + 2 * kSubMenuItemHeight + 2});
  MoveTo(overSub3);
  ASSERT_EQ(popups.Showing().size(), 2u) << "the list stays while the pointer moves into it";
  dialog->OnLButtonUp(overSub3.x, overSub3.y);
  EXPECT_EQ(state.Settings.K[1].load(), 13);
  EXPECT_TRUE(popups.Showing().empty());
}

TEST_F(FunctionPopups, MovingFromACategoryIntoItsListKeepsTheList) {
  PopupRecord& menu = Open(1);
  const std::int32_t categoryY = 7 * kMenuItemHeight + 2;  // category 8, its list starts two items higher
  menu.handlers->OnMouseMove(5, categoryY);
  menu.handlers->OnLButtonDown(5, categoryY);
  ASSERT_EQ(popups.Showing().size(), 2u);
  PopupRecord& sub = *popups.Showing().back();
  // The first popup keeps the pointer: its moves run past its right edge.
  const int intoSubX = sub.origin.x - menu.origin.x + 10;
  const int intoSubY = sub.origin.y - menu.origin.y + 4 * kSubMenuItemHeight + 2;
  menu.handlers->OnMouseMove(intoSubX, intoSubY);
  ASSERT_EQ(popups.Showing().size(), 2u) << "the list stays";
  EXPECT_EQ(dialog->ViewState().Popups.MenuHover, 8);
  EXPECT_TRUE(sub.invalidations > 0);
  menu.handlers->OnLButtonUp(intoSubX, intoSubY);
  EXPECT_EQ(state.Settings.K[1].load(), 25) << "item 5 of the category whose codes run from 21";
  EXPECT_TRUE(popups.Showing().empty());

  PopupRecord& again = Open(1);
  again.handlers->OnMouseMove(5, categoryY);
  again.handlers->OnMouseMove(kMenuWidth + 400, categoryY);
  EXPECT_EQ(popups.Showing().size(), 1u) << "a move beside both popups still leaves the category";
}

TEST_F(FunctionPopups, BothPopupsPaintTheirImagesLabelsAndHoverInTheLanguagesFace) {
  for (const std::uint8_t verSel : {1, 0}) {
    state.VER_SEL = verSel;
    LoadAllSkins(Skins(), state.Skin);
    state.UserMacros.count = 2;
    PopupRecord& menu = Open(2);
    const FontSpec& font = verSel != 0 ? kFontEnglish : kFontOther;
    NamedLayers layers;
    Hover(menu, 8, kMenuItemHeight);
    menu.handlers->OnLButtonDown(5, 7 * kMenuItemHeight + 1);
    PaintLog first;
    menu.handlers->OnPaint(first, layers);
    ASSERT_EQ(first.copies.size(), 2u);
    EXPECT_EQ(first.copies[0].layer, "menu_normal.jpg");
    EXPECT_EQ(first.copies[0].rect, (PaintRect{0, 0, kMenuWidth, 10 * kMenuItemHeight + 1}));
    EXPECT_EQ(first.copies[1].layer, "menu_down.jpg") << "pressed";
    EXPECT_EQ(first.copies[1].rect, (PaintRect{0, 7 * kMenuItemHeight, kMenuWidth, kMenuItemHeight}));
    ASSERT_EQ(first.texts.size(), 10u);
    for (int item = 1; item <= 10; ++item) {
      const PaintLog::Text& t = first.texts[item - 1];
      EXPECT_EQ(t.text, FunctionLabel(state.Skin.FunctionLabels, item)) << item;
      EXPECT_EQ(t.colour, item == 8 ? kRed : kWhite) << item;
      EXPECT_EQ(t.font, font);
      EXPECT_EQ(t.x, (kMenuWidth - 6 * static_cast<int>(t.text.size())) / 2) << item;
      EXPECT_EQ(t.y, (item - 1) * kMenuItemHeight + (kMenuItemHeight - 12) / 2) << item;
    }

    PopupRecord& sub = *popups.Showing().back();
    Hover(sub, 3, kSubMenuItemHeight);
    PaintLog second;
    sub.handlers->OnPaint(second, layers);
    ASSERT_EQ(second.copies.size(), 2u);
    EXPECT_EQ(second.copies[0].layer, "advanced menu_normal.jpg");
    EXPECT_EQ(second.copies[0].rect, (PaintRect{0, 0, 150, 10 * kSubMenuItemHeight + 1}));
    EXPECT_EQ(second.copies[1].layer, "advanced menu_over.jpg");
    EXPECT_EQ(second.copies[1].rect, (PaintRect{0, 2 * kSubMenuItemHeight, 150, kSubMenuItemHeight}));
    ASSERT_EQ(second.texts.size(), 10u);
    EXPECT_EQ(second.texts[2].text, FunctionLabel(state.Skin.FunctionLabels, 23));
    EXPECT_EQ(second.texts[2].colour, kRed);
    EXPECT_EQ(second.texts[0].colour, kWhite);
    EXPECT_EQ(second.texts[0].font, font);

    Hover(menu, 9, kMenuItemHeight);  // the user macros
    PopupRecord& macros = *popups.Showing().back();
    PaintLog third;
    macros.handlers->OnPaint(third, layers);
    ASSERT_EQ(third.texts.size(), 2u);
    EXPECT_EQ(third.texts[0].text, MacroNameText(state.UserMacros.slots[0]));
    ClickAt(Nowhere());
  }
}

TEST_F(FunctionPopups, APressOnTheMainPageClosesThePopup) {
  PopupRecord& menu = Open(1);
  ClickAt(Nowhere());
  EXPECT_TRUE(menu.destroyed);
}

// ---- The advanced page's macro editor ----

TEST_F(MainWindowInput, AdvancedPageControlsExistExactlyWhileItIsShown) {
  const auto alive = [&] {
    return int(macroControls.repeatEdit.alive) + macroControls.nameEdit.alive + macroControls.macroList.alive +
           macroControls.eventList.alive;
  };
  ClickMain(10);
  ASSERT_EQ(macroControls.made.size(), 4U);
  EXPECT_EQ(macroControls.made[0].id, 10004);
  EXPECT_EQ(macroControls.made[3].area, state.Skin.Areas.EventListArea);
  EXPECT_EQ(alive(), 4);
  EXPECT_EQ(macroControls.macroList.lines.size(), static_cast<std::size_t>(state.UserMacros.count));
  ClickMain(9);
  EXPECT_EQ(alive(), 0);
  ClickMain(10);
  ClickMain(11);
  EXPECT_EQ(alive(), 0) << "leaving for the colour page";
  ClickMain(10);
  EXPECT_EQ(alive(), 4);
}

TEST_F(MainWindowInput, AdvancedRowsRunTheMacroCommands) {
  ClickMain(10);
  const int count = state.UserMacros.count;
  macroControls.nameEdit.text = u"new one";
  ClickAdvanced(2);
  ASSERT_EQ(state.UserMacros.count, count + 1);
  EXPECT_EQ(state.SelectedMacro, count);
  ClickAdvanced(6);
  EXPECT_EQ(state.UserMacros.slots[count].mode, kRepeatModeBit);
  ClickAdvanced(7);
  EXPECT_EQ(state.UserMacros.slots[count].mode, kHeldModeBit);
  ClickAdvanced(4);
  EXPECT_TRUE(state.Recording);
  EXPECT_TRUE(keys.Active());
  ClickAdvanced(4);
  EXPECT_FALSE(keys.Active());
  ClickAdvanced(3);
  EXPECT_EQ(state.UserMacros.count, count);
}

// Every way the window leaves a recording behind ends it as Stop does, and
// the keyboard is given back.
TEST_F(MainWindowInput, EveryWayAwayFromARecordingGivesTheKeyboardBack) {
  struct Case {
    const char* what;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"the main page tab", [this] { ClickMain(9); }},
      {"the colour page tab", [this] { ClickMain(11); }},
      {"Hide", [this] { ClickMain(2); }},
      {"minimise", [this] { ClickMain(12); }},
      {"to the tray", [this] { ClickMain(13); }},
      {"the window system's close", [this] { dialog->OnSysCommand(kScClose); }},
      {"a profile button", [this] { ClickMain(5); }},
      {"profile import (a file dialog)", [this] { ClickMain(14); }},
      {"profile export (a file dialog)", [this] { ClickMain(15); }},
      {"reset", [this] { ClickMain(16); }},
      {"the other language", [this] { ClickMain(state.VER_SEL != 0 ? 17 : 18); }},
      {"the web button", [this] { ClickMain(19); }},
      {"the About box", [this] { dialog->OnSysCommand(16); }},
      // A menu cannot take the keyboard while the recording holds it, and
      // could then not be closed with a key.
      {"the tray menu", [this] { dialog->OnTrayNotify(kTrayIconId, TrayMouse::RightButtonUp); }},
      {"macro import (a file dialog)", [this] { ClickAdvanced(0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (state.CurrentPage != kAdvancedPage) ClickMain(10);
    if (state.UserMacros.count == 0) {
      macroControls.nameEdit.text = u"m";
      ClickAdvanced(2);
    }
    ClickAdvanced(4);
    ASSERT_TRUE(state.Recording);
    ASSERT_TRUE(keys.Active());
    const int recorded = state.SelectedMacro;
    keys.Type(true, 'A');
    keys.Type(false, 'A');
    const std::u16string name = MacroNameText(state.UserMacros.slots[recorded]);
    c.act();
    EXPECT_FALSE(state.Recording);
    EXPECT_FALSE(keys.Active()) << "the keyboard is given back";
    const Macro& after = state.UserMacros.slots[recorded];
    if (MacroNameText(after) == name) {
      EXPECT_LE(after.eventCount, 2);
    }
    keys.Type(true, 'B');
    EXPECT_FALSE(state.Recording);
  }
}

TEST_F(MainWindowInput, ApplyOnTheAdvancedPageStoresTheRepeatCountFirst) {
  ClickMain(10);
  macroControls.nameEdit.text = u"repeat";
  ClickAdvanced(2);
  ClickAdvanced(6);
  macroControls.repeatEdit.text = u"70000";
  ClickMain(3);
  const int selected = state.SelectedMacro;
  EXPECT_EQ(state.UserMacros.slots[selected].repeatCount, 65535);
  EXPECT_EQ(macroControls.repeatEdit.text, u"65535") << "the corrected count is shown";
  IniFileStore files;
  EXPECT_EQ(DecodeMacro(files.Read(UserMacroFileOf(state), u"Macros", DecimalText(selected), 4000)).repeatCount, 65535);
}

TEST_F(MainWindowInput, RightClickOpensTheEventMenuOnlyOnTheAdvancedPage) {
  dialog->OnRightButtonUp(testing::kEventListOnScreen.left + 5, testing::kEventListOnScreen.top + 3);
  EXPECT_TRUE(shownMenus.opened.empty()) << "no controls on the main page";
  ClickMain(10);
  dialog->OnRightButtonUp(testing::kEventListOnScreen.left + 5, testing::kEventListOnScreen.top + 3);
  EXPECT_EQ(shownMenus.opened.size(), 1U);
}

TEST_F(MainWindowInput, LanguageSwitchRefreshesTheMacroListAndReloadsBothMenus) {
  ClickMain(10);
  ClickMain(17);
  EXPECT_EQ(macroControls.macroList.lines.size(), static_cast<std::size_t>(state.UserMacros.count));
  if (state.UserMacros.count > 0) {
    EXPECT_EQ(macroControls.macroList.lines[0], MacroNameText(state.UserMacros.slots[0]));
  }
  EXPECT_EQ(dialog->Menus().trayMenu.Record(1).id, 32837);
  EXPECT_EQ(dialog->Menus().eventMenu.Record(3).id, 32817);
  ClickMain(18);
  EXPECT_EQ(dialog->Menus().trayMenu.Record(1).id, 32801);
}

// ---- Language, reset, import, export ----

TEST_F(MainWindowInput, LanguageSwitchStoresItAndLoadsTheOtherLayoutAndMacros) {
  const std::u16string englishLabel = state.Skin.Main.labels[main_row::kApply];
  ClickMain(17);
  EXPECT_EQ(state.VER_SEL, 0);
  EXPECT_EQ(ReadLanguage(ini, state.Paths.ConfigPath), 0);
  EXPECT_NE(state.Skin.Main.labels[main_row::kApply], englishLabel);
  EXPECT_EQ(UserMacroFileOf(state), folder_.Path() + "/Macro_CN.dat");
  ClickMain(18);
  EXPECT_EQ(state.VER_SEL, 1);
  EXPECT_EQ(state.Skin.Main.labels[main_row::kApply], englishLabel);
  EXPECT_EQ(UserMacroFileOf(state), folder_.Path() + "/Macro_EN.dat");
}

TEST_F(MainWindowInput, ResetWritesDefaultsAndResetSectionsForTheLanguage) {
  for (const std::uint8_t verSel : {std::uint8_t{1}, std::uint8_t{0}}) {
    state.VER_SEL = verSel;
    ClickMain(16);
    EXPECT_EQ(Values(ProfileEntries(u"X", Saved(1))),
              Values(ProfileEntries(u"X", DefaultProfile(state.Settings.MACRO_MODE2))));
    const ProfileSettings reset5 =
        ReadProfileSettings(ini, state.Paths.ConfigPath, verSel == 1 ? u"CfgReset_EN5" : u"CfgReset5");
    EXPECT_EQ(Values(ProfileEntries(u"X", Saved(5))), Values(ProfileEntries(u"X", reset5))) << int(verSel);
    EXPECT_EQ(Values(ProfileEntries(u"X", Saved(6))), Values(ProfileEntries(u"X", Saved(state.CurConfig))));
  }
}

TEST_F(MainWindowInput, ExportThenImportRestoresEverySettingAndTheMacros) {
  ClickMain(66 + 12 * 3 + 9);
  ClickMain(33);
  const auto settings = Values(ProfileEntries(u"X", state.Settings));
  const auto macros = Values(MacroBlockEntries(u"X", state.UserMacros));
  const std::string file = folder_.Path() + "/exported.ini";
  desktop.saveAnswer = file;
  ClickMain(15);
  ASSERT_EQ(desktop.asked.size(), 1u);
  EXPECT_EQ(desktop.asked[0].pattern, u"*.ini");
  EXPECT_EQ(desktop.asked[0].defaultSuffix, u"ini");
  EXPECT_EQ(desktop.asked[0].startFolder, folder_.Path());

  state.Settings = DefaultProfile(0);
  state.UserMacros = {};
  desktop.openAnswer = file;
  ClickMain(14);
  EXPECT_EQ(Values(ProfileEntries(u"X", state.Settings)), settings);
  EXPECT_EQ(Values(MacroBlockEntries(u"X", state.UserMacros)), macros);
}

TEST_F(MainWindowInput, ImportOfAFileWithoutAnExportedProfileChangesNothingAndSaysSo) {
  const std::string file = folder_.Path() + "/other.ini";
  std::ofstream(file) << "[Config1]\nK0=1\n";
  const auto before = Values(ProfileEntries(u"X", state.Settings));
  for (const std::string& chosen : {file, folder_.Path() + "/missing.ini"}) {
    log.clear();
    desktop.openAnswer = chosen;
    ClickMain(14);
    EXPECT_EQ(Values(ProfileEntries(u"X", state.Settings)), before);
    ASSERT_EQ(log.size(), 1u) << chosen;
    EXPECT_NE(log[0].find(chosen), std::string::npos) << log[0];
  }
}

TEST_F(MainWindowInput, CancelledFileDialogsChangeNothing) {
  const std::string config = ReadWholeFile(state.Paths.ConfigPath);
  const auto before = Values(ProfileEntries(u"X", state.Settings));
  ClickMain(14);
  ClickMain(15);
  EXPECT_EQ(Values(ProfileEntries(u"X", state.Settings)), before);
  EXPECT_EQ(ReadWholeFile(state.Paths.ConfigPath), config);
}

}  // namespace
}  // namespace tolvar

namespace tolvar {
namespace {

// ---- Saves that fail ----

// The whole content of every file below the folder.
std::map<std::string, std::string> FilesBelow(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

TEST_F(MainWindowInput, EveryCommandThatWritesSaysOnceWhenItsSaveFailsAndDiskStaysAsItWas) {
  const std::string config = state.Paths.ConfigPath;
  const std::string macros = UserMacroFileOf(state);
  const std::string exported = folder_.Path() + "/exported.ini";
  const std::string exportedMacros = folder_.Path() + "/exported.dat";
  const struct {
    const char* what;
    std::function<void()> command;
    std::vector<std::string> files;  // named in the message
  } cases[] = {
      {"Save", [&] { ClickMain(0); }, {config}},
      {"Apply", [&] { ClickMain(3); }, {macros, config}},
      {"Hide", [&] { ClickMain(2); }, {config}},
      {"the language", [&] { ClickMain(18); }, {config}},
      {"the reset of all profiles", [&] { ClickMain(16); }, {config, macros}},
      {"the export of a profile",
       [&] {
         desktop.saveAnswer = exported;
         ClickMain(15);
       },
       {exported}},
      {"the export of the macros",
       [&] {
         ClickMain(10);
         desktop.saveAnswer = exportedMacros;
         ClickAdvanced(1);
       },
       {exportedMacros}},
      {"the macro page's Save",
       [&] {
         ClickMain(10);
         ClickAdvanced(5);
       },
       {macros, config}},
  };
  for (const auto& c : cases) {
    const std::map<std::string, std::string> before = FilesBelow(folder_.Path());
    store.FailWith(WriteError::kDiskFull);
    log.clear();
    c.command();
    store.FailWith(std::nullopt);
    std::vector<std::string> messages;
    std::copy_if(log.begin(), log.end(), std::back_inserter(messages),
                 [](const std::string& line) { return line.starts_with("message "); });
    ASSERT_EQ(messages.size(), 1u) << c.what;
    const std::string& message = messages.front();
    EXPECT_TRUE(message.starts_with("message tolvar: Not saved:")) << c.what << ": " << message;
    for (const std::string& file : c.files) {
      EXPECT_NE(message.find("\u201C" + file + "\u201D: the disk is full."), std::string::npos)
          << c.what << ": " << message;
    }
    EXPECT_NE(message.find("The change is still in memory"), std::string::npos) << c.what;
    EXPECT_EQ(FilesBelow(folder_.Path()), before) << c.what << " changed a file";
    ClickMain(9);  // back to the main page
  }
}

TEST_F(MainWindowInput, AChangeASaveCouldNotStoreIsStoredByTheNextSave) {
  state.Settings.FIRE_TIME = 77;
  store.FailWith(WriteError::kPermissionDenied);
  ClickMain(0);
  EXPECT_NE(Saved(state.CurConfig).FIRE_TIME, 77);
  EXPECT_EQ(state.Settings.FIRE_TIME, 77) << "the change stays in memory";
  store.FailWith(std::nullopt);
  log.clear();
  ClickMain(0);
  EXPECT_EQ(Saved(state.CurConfig).FIRE_TIME, 77);
  EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const std::string& l) { return l.starts_with("message "); }));
}

TEST_F(MainWindowInput, AResetThatCouldNotBeStoredKeepsTheResetValuesInMemory) {
  for (const int profile : {1, 3}) {
    state.CurConfig = profile;
    state.Settings.FIRE_TIME = 77;
    ASSERT_FALSE(SaveProfile(ini, state.Paths.ConfigPath, profile, state.Settings));
    const ProfileSettings reset =
        profile == 1 ? DefaultProfile(state.Settings.MACRO_MODE2)
                     : ReadProfileSettings(ini, state.Paths.ConfigPath,
                                           LoadSectionName(profile, ProfileSource::ResetSection, state.VER_SEL));
    store.FailWith(WriteError::kDiskFull);
    ClickMain(16);
    store.FailWith(std::nullopt);
    EXPECT_EQ(Values(ProfileEntries(u"Config", state.Settings)), Values(ProfileEntries(u"Config", reset)))
        << "profile " << profile;
    EXPECT_EQ(Saved(profile).FIRE_TIME, 77) << "the file keeps the old profile";
    ClickMain(0);
    EXPECT_EQ(Values(ProfileEntries(u"Config", Saved(profile))), Values(ProfileEntries(u"Config", reset)))
        << "a later Save stores the reset profile " << profile;
  }
}

}  // namespace
}  // namespace tolvar
