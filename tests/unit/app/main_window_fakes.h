// Fakes of the main window's ports for its tests: a mouse whose input
// reports nothing until closed, and logged dialogs, window, tray and menu.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "ports/hid_backend.h"
#include "ports/image_source.h"
#include "ports/message_boxes.h"
#include "ports/pointer_settings.h"
#include "ports/program_launcher.h"
#include "ports/tray.h"
#include "ports/window_menu.h"
#include "support/still_window.h"
#include "unit/device/hid_descriptor_builder.h"

namespace tolvar::testing {

using Log = std::vector<std::string>;

// The mouse's two vendor collections: input reports of id 4 and feature
// reports of id 7, seven bytes each after the id.
inline std::vector<std::uint8_t> MouseDescriptor() {
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

class LoggedDialogs final : public MessageBoxes {
 public:
  explicit LoggedDialogs(Log& log) : log_(log) {}
  void MessageBox(const std::u16string& text, const std::u16string& caption) override {
    log_.push_back("message " + Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text));
  }

 private:
  Log& log_;
};

class LoggedWindow final : public StillWindow {
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

class NoDesktop final : public PointerSettings {
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

}  // namespace tolvar::testing
