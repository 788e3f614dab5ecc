// The main window's start-up on fakes of the ports and a copy of the
// delivered files: its order, the end without the mouse, and the HIDE switch.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "support/child_process.h"
#include "support/fake_popups.h"
#include "support/still_window.h"
#include "unit/app/main_window_fakes.h"
#include "unit/macro_page/macro_page_fakes.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using namespace tolvar::testing;

// A program folder with the delivered skin and data, the fakes, and the
// main window; the input channel closes before the window's workers stop.
class StartUp {
 public:
  StartUp(bool mousePresent, std::u16string commandLine)
      : mouse_(log, mousePresent), dialogs_(log), window_(log), tray_(log), menu_(log) {
    fs::copy(fs::path(TOLVAR_SOURCE_DIR) / "skins", fs::path(folder_.Path()) / "skins", fs::copy_options::recursive);
    for (const auto& file : fs::directory_iterator(fs::path(TOLVAR_SOURCE_DIR) / "data")) {
      fs::copy_file(file.path(), fs::path(folder_.Path()) / file.path().filename());
    }
    state_.Paths = ComputePaths(LocateFolders(folder_.Path(), {}));
    state_.ApplicationName = u"tolvar";
    dialog_ = std::make_unique<CTolvarDlg>(state_,
                                           MainWindowPorts{ini_,
                                                           dialogs_,
                                                           window_,
                                                           mouse_,
                                                           images_,
                                                           desktop_,
                                                           tray_,
                                                           menu_,
                                                           clock_,
                                                           programs_,
                                                           desktopDialogs_,
                                                           popups_,
                                                           {macroControls_, keys_, time_, shownMenus_},
                                                           {}},
                                           std::move(commandLine));
  }
  ~StartUp() {
    // The workers stop once their read returns: close the input, and hand a
    // reader that never got a channel (no mouse) a closed one.
    mouse_.Close();
    QuietInput closed(mouse_.gate);
    if (state_.Link.Device.InputChannel.load() == nullptr) {
      state_.Link.Device.InputChannel.store(&closed);
      state_.Link.Device.InputChannel.notify_all();
    }
    dialog_.reset();
  }

  CTolvarDlg& Dialog() { return *dialog_; }
  FakeMouse& Mouse() { return mouse_; }
  std::string ConfigFile() const { return folder_.Path() + "/skins/config/config.ini"; }
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const auto& line : log) {
      if (line.starts_with(prefix)) lines.push_back(line);
    }
    return lines;
  }

  Log log;

 private:
  testing::TempDir folder_;
  AppState state_;
  IniFileStore ini_;
  FakeMouse mouse_;
  LoggedDialogs dialogs_;
  LoggedWindow window_;
  NoImages images_;
  NoDesktop desktop_;
  LoggedTray tray_;
  LoggedMenu menu_;
  SteadyClock clock_;
  NoPrograms programs_;
  testing::FakeDesktop desktopDialogs_;
  testing::FakePopupWindows popups_;
  testing::FakeControls macroControls_;
  testing::FakeKeyCapture keys_;
  testing::FakeTimeOfDay time_;
  testing::ScriptedMenus shownMenus_;
  std::unique_ptr<CTolvarDlg> dialog_;
};

TEST(MainWindowStartUp, SendsTheProfileThenAddsTheTrayIcon) {
  StartUp start(true, u"/opt/tolvar/tolvar");
  ASSERT_TRUE(start.Dialog().OnInitDialog());

  EXPECT_EQ(start.Matching("menu"), (std::vector<std::string>{"menu separator", "menu 16 &About Tolvar..."}));
  EXPECT_EQ(start.Matching("title"), (std::vector<std::string>{"title Quarrion DORVEL_KITE7"}));
  EXPECT_TRUE(start.Matching("message").empty());
  EXPECT_EQ(start.Matching("report").size(), 22u);
  ASSERT_FALSE(start.log.empty());
  EXPECT_EQ(start.log.back(), "tray add 153") << "the tray icon comes last, after the settings";
  EXPECT_TRUE(start.Matching("destroy").empty());
}

TEST(MainWindowStartUp, WithoutTheMouseShowsTheMessageAndEndsWithoutWritingAnything) {
  StartUp start(false, u"/opt/tolvar/tolvar");
  const std::string before = testing::ReadWholeFile(start.ConfigFile());
  ASSERT_TRUE(start.Dialog().OnInitDialog());

  const std::vector<std::string> ending(start.log.end() - 3, start.log.end());
  EXPECT_EQ(ending, (std::vector<std::string>{"message tolvar: Please plug-in【Quarrion DORVEL_KITE7】USB Mouse",
                                              "tray remove 153", "destroy"}));
  EXPECT_TRUE(start.Matching("report").empty());
  EXPECT_TRUE(start.Matching("tray add").empty());
  EXPECT_EQ(testing::ReadWholeFile(start.ConfigFile()), before);
}

TEST(MainWindowStartUp, TheHideSwitchMinimisesAtTheFirstEraseOnly) {
  const struct {
    std::u16string commandLine;
    std::size_t minimised;
  } cases[] = {{u"/opt/tolvar/tolvar -HIDE", 1}, {u"/opt/tolvar/tolvar", 0}, {u"/opt/tolvar/tolvar -hide", 0}};
  for (const auto& c : cases) {
    StartUp start(true, c.commandLine);
    ASSERT_TRUE(start.Dialog().OnInitDialog());
    EXPECT_TRUE(start.Matching("minimise").empty()) << "start-up itself does not minimise";
    start.Dialog().OnEraseBkgnd();
    start.Dialog().OnEraseBkgnd();
    EXPECT_EQ(start.Matching("minimise").size(), c.minimised) << Utf16ToUtf8(c.commandLine);
  }
}

TEST(MainWindowDeviceChange, AccessGrantedLaterConnectsAndSendsTheSettings) {
  StartUp start(true, u"/opt/tolvar/tolvar");
  start.Mouse().denied = true;
  ASSERT_TRUE(start.Dialog().OnInitDialog());
  ASSERT_EQ(start.Matching("message").size(), 1u);
  EXPECT_NE(start.Matching("message")[0].find("/dev/hidraw7"), std::string::npos);
  EXPECT_TRUE(start.Matching("report").empty());
  EXPECT_EQ(start.Matching("tray add").size(), 1u) << "the program stays in the tray";

  // A notice for another device, or for the mouse while access is still
  // refused, sends nothing.
  start.Dialog().OnDeviceChange(DeviceEvent::Arrival, "/dev/hidraw2");
  start.Dialog().OnDeviceChange(DeviceEvent::Arrival, "/dev/hidraw7");
  EXPECT_TRUE(start.Matching("report").empty());

  // The rule is installed and applied: the change notice connects, and the
  // whole profile goes out, without a second message.
  start.Mouse().denied = false;
  start.Dialog().OnDeviceChange(DeviceEvent::Arrival, "/dev/hidraw7");
  EXPECT_EQ(start.Matching("report").size(), 22u);
  EXPECT_EQ(start.Matching("message").size(), 1u);

  // Once connected, further notices for the mouse do nothing.
  start.Dialog().OnDeviceChange(DeviceEvent::Arrival, "/dev/hidraw7");
  EXPECT_EQ(start.Matching("report").size(), 22u);
  EXPECT_TRUE(start.Matching("destroy").empty());
}

}  // namespace
}  // namespace tolvar
