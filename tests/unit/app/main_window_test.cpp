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

#include "app/text.h"
#include "platform/ini/ini_file_store.h"
#include "support/child_process.h"
#include "support/still_window.h"
#include "unit/device/hid_descriptor_builder.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

// The mouse's two vendor collections: input reports of id 4 and feature
// reports of id 7, seven bytes each after the id.
std::vector<std::uint8_t> MouseDescriptor() {
  test::Descriptor d;
  d.UsagePage(0xFF00).Usage(1).Collection().ReportId(4).ReportSize(8).ReportCount(7).Usage(1).Input().EndCollection();
  d.UsagePage(0xFF01).Usage(1).Collection().ReportId(7).ReportSize(8).ReportCount(7).Usage(1).Feature().EndCollection();
  return d.bytes();
}

// An input channel that reports nothing until it is closed.
class QuietInput final : public HidInputChannel {
 public:
  struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
  };
  explicit QuietInput(std::shared_ptr<Gate> gate) : gate_(std::move(gate)) {}
  int Read(std::span<std::uint8_t>) override {
    std::unique_lock lock(gate_->mutex);
    gate_->changed.wait(lock, [&] { return gate_->closed; });
    return -1;
  }

 private:
  std::shared_ptr<Gate> gate_;
};

class LoggedFeature final : public HidFeatureChannel {
 public:
  explicit LoggedFeature(Log& log) : log_(log) {}
  bool SendFeature(std::span<const std::uint8_t> report) override {
    std::ostringstream text;
    text << "report " << std::hex << int(report[1]);
    log_.push_back(text.str());
    return true;
  }

 private:
  Log& log_;
};

class FakeMouse final : public HidBackend {
 public:
  FakeMouse(Log& log, bool present) : log_(log), present_(present) {}
  std::vector<HidDeviceInfo> Enumerate(std::size_t) override {
    if (!present_) return {};
    return {HidDeviceInfo{"/dev/hidraw7", 0x18F8, 0x1686, MouseDescriptor()}};
  }
  std::unique_ptr<HidInputChannel> OpenInput(const std::string&, HidOpenError& error) override {
    if (denied) error = HidOpenError::PermissionDenied;
    return denied ? nullptr : std::make_unique<QuietInput>(gate);
  }
  std::unique_ptr<HidFeatureChannel> OpenFeature(const std::string&, HidOpenError& error) override {
    if (denied) error = HidOpenError::PermissionDenied;
    return denied ? nullptr : std::make_unique<LoggedFeature>(log_);
  }
  void Close() {
    {
      std::lock_guard lock(gate->mutex);
      gate->closed = true;
    }
    gate->changed.notify_all();
  }

  std::shared_ptr<QuietInput::Gate> gate = std::make_shared<QuietInput::Gate>();
  bool denied = false;  // the nodes exist but cannot be opened

 private:
  Log& log_;
  bool present_;
};

class LoggedDialogs final : public Dialogs {
 public:
  explicit LoggedDialogs(Log& log) : log_(log) {}
  void MessageBox(const std::u16string& text, const std::u16string& caption) override {
    log_.push_back("message " + Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text));
  }

 private:
  Log& log_;
};

class LoggedWindow final : public testing::StillWindow {
 public:
  explicit LoggedWindow(Log& log) : log_(log) {}
  void SetTitle(const std::u16string& title) override { log_.push_back("title " + Utf16ToUtf8(title)); }
  void ShowMinimized() override { log_.push_back("minimise"); }
  void Destroy() override { log_.push_back("destroy"); }

 private:
  Log& log_;
};

class LoggedTray final : public TrayIcon {
 public:
  explicit LoggedTray(Log& log) : log_(log) {}
  bool IsAvailable() const override { return true; }
  bool Add(int id, const std::u16string&) override {
    log_.push_back("tray add " + std::to_string(id));
    return true;
  }
  void Remove(int id) override { log_.push_back("tray remove " + std::to_string(id)); }
  void ShowMenuAtCursor(const std::vector<MenuItem>&) override {}

 private:
  Log& log_;
};

class LoggedMenu final : public WindowMenu {
 public:
  explicit LoggedMenu(Log& log) : log_(log) {}
  void AppendSeparator() override { log_.push_back("menu separator"); }
  void AppendItem(int command, const std::u16string& text) override {
    log_.push_back("menu " + std::to_string(command) + " " + Utf16ToUtf8(text));
  }
  void ShowAboutBox(const AboutBoxTexts&) override {}

 private:
  Log& log_;
};

class NoDesktop final : public SystemSettings {
 public:
  std::optional<int> PointerSpeed() override { return std::nullopt; }
  void SetPointerSpeed(int) override {}
  std::optional<int> WheelScrollLines() override { return std::nullopt; }
  void SetWheelScrollLines(int) override {}
};

class NoPrograms final : public ProgramLauncher {
 public:
  void Start(SystemProgram) override {}
};

class NoImages final : public ImageFileReader {
 public:
  std::unique_ptr<ImageSource> ReadPixels(const std::string&) override { return nullptr; }
};

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
    state_.Paths.ModuleDir = folder_.Path();
    state_.ApplicationName = u"tolvar";
    dialog_ = std::make_unique<CTolvarDlg>(
        state_,
        MainWindowPorts{ini_, dialogs_, window_, mouse_, images_, desktop_, tray_, menu_, clock_, programs_, {}},
        std::move(commandLine));
  }
  ~StartUp() {
    // The workers stop once their read returns: close the input, and hand a
    // reader that never got a channel (no mouse) a closed one.
    mouse_.Close();
    QuietInput closed(mouse_.gate);
    if (state_.Link.InputChannel.load() == nullptr) {
      state_.Link.InputChannel.store(&closed);
      state_.Link.InputChannel.notify_all();
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
