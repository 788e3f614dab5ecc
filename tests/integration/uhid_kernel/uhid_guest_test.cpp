// Runs inside a small virtual machine with a real kernel: the simulated
// mouse is a uhid device there, and the program's hidraw discovery, report
// lengths, feature sends, input reads and hotplug notices meet the kernel's
// own HID stack. The simulator is the program named by TOLVAR_MOUSE_SIM.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/feature_report.h"
#include "platform/linux/hidraw_backend.h"
#include "platform/linux/udev_notices.h"

extern char** environ;

namespace tolvar {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;

constexpr char kLogPath[] = "/tmp/mouse-sim.log";

// The simulator as a child process, commanded through its standard input.
class SimulatorProcess {
 public:
  bool Start(std::string& error) {
    const char* program = std::getenv("TOLVAR_MOUSE_SIM");
    if (!program) {
      error = "TOLVAR_MOUSE_SIM is not set";
      return false;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], STDIN_FILENO);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>("--uhid"), const_cast<char*>("--log"),
                    const_cast<char*>(kLogPath), nullptr};
    const int result = posix_spawn(&pid_, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[0]);
    commands_ = pipeFds[1];
    if (result != 0) error = std::string("cannot start ") + program;
    return result == 0;
  }

  void Send(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(commands_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  // Ends the simulator (its device goes away with it) and returns its exit status.
  int Quit() {
    if (pid_ <= 0) return -1;
    Send("quit");
    close(commands_);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

  ~SimulatorProcess() { Quit(); }

 private:
  pid_t pid_ = -1;
  int commands_ = -1;
};

std::vector<std::string> LogRecords() {
  std::vector<std::string> records;
  std::ifstream in(kLogPath);
  std::string line;
  while (std::getline(in, line)) records.push_back(line.substr(line.find(' ') + 1));
  return records;
}

class UhidKernelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(monitor_.Valid());
    ASSERT_STREQ(monitor_.SourceName(), "kernel");  // the guest runs no udev daemon
    std::string error;
    ASSERT_TRUE(simulator_.Start(error)) << error;
    node_ = WaitForNotice(DeviceEvent::Arrival);
    ASSERT_FALSE(node_.empty()) << "no hidraw node arrived";
  }

  void TearDown() override {
    simulator_.Quit();
    // The next test's device must not meet this one's notices.
    WaitForNotice(DeviceEvent::Removal);
  }

  // The node of the next notice of this kind; empty when none comes in time.
  std::string WaitForNotice(DeviceEvent wanted) {
    for (;;) {
      pollfd p{monitor_.Fd(), POLLIN, 0};
      if (poll(&p, 1, 20000) != 1) return {};
      std::string found;
      monitor_.Drain([&](DeviceEvent event, const std::string& path) {
        if (event == wanted && found.empty()) found = path;
      });
      if (!found.empty()) return found;
    }
  }

  UdevMonitor monitor_{UdevSource::Kernel};
  SimulatorProcess simulator_;
  std::string node_;
  HidrawBackend backend_;
  DeviceLink link_;
  FeatureReporter reporter_;
};

TEST_F(UhidKernelTest, DiscoveryFindsBothCollectionsOnTheNode) {
  EXPECT_THAT(node_, ::testing::StartsWith("/dev/hidraw"));
  const std::vector<HidDeviceInfo> devices = backend_.Enumerate(kEnumerationLimit);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].path, node_);
  EXPECT_EQ(devices[0].vendorId, kMouseVendorId);
  EXPECT_EQ(devices[0].productId, kMouseProductId);

  ASSERT_TRUE(OpenDeviceLink(link_, backend_, reporter_));
  EXPECT_EQ(link_.DevicePath, node_);
  EXPECT_TRUE(IsMouseInterfaceNotice(link_, node_));
  EXPECT_EQ(link_.FeatureReportByteLength, 8u);
  EXPECT_EQ(link_.InputReportByteLength.load(), 8u);
  EXPECT_THAT(link_.InputReportIds, ElementsAre(4));
  EXPECT_NE(link_.FeatureHandle, nullptr);
  EXPECT_NE(link_.InputChannel.load(), nullptr);
}

TEST_F(UhidKernelTest, FeatureReportsReachTheMouseWhole) {
  ASSERT_TRUE(OpenDeviceLink(link_, backend_, reporter_));
  // The send returns once the mouse has answered, so it has logged the report.
  ASSERT_TRUE(reporter_.Send([](std::span<std::uint8_t> report) { compose::FireTime(report, 300); }));
  ASSERT_TRUE(reporter_.Send([](std::span<std::uint8_t> report) { compose::Detach(report); }));
  EXPECT_THAT(LogRecords(), ElementsAre("F 07 12 01 2C 00 00 00 00", "F 07 20 00 00 00 00 00 00"));
}

TEST_F(UhidKernelTest, InputReadsKeepOnlyTheInputCollection) {
  ASSERT_TRUE(OpenDeviceLink(link_, backend_, reporter_));
  HidOpenError error = HidOpenError::None;
  const auto raw = backend_.OpenInput(node_, error);
  ASSERT_NE(raw, nullptr);

  // The key command makes the mouse type: a keyboard report on the same node.
  ASSERT_TRUE(reporter_.Send([](std::span<std::uint8_t> report) { compose::Keys(report, {4, 0, 0, 0, 0, 0}); }));
  simulator_.Send("press 3 7");

  Bytes buffer(64);
  ASSERT_EQ(raw->Read(buffer), 9);
  EXPECT_THAT(Bytes(buffer.begin(), buffer.begin() + 9), ElementsAre(2, 0, 0, 4, 0, 0, 0, 0, 0));
  ASSERT_EQ(raw->Read(buffer), 8);
  EXPECT_THAT(Bytes(buffer.begin(), buffer.begin() + 8), ElementsAre(4, 0xF3, 7, 0, 0, 0, 0, 0));

  HidInputChannel* input = link_.InputChannel.load();
  ASSERT_NE(input, nullptr);
  Bytes report(link_.InputReportByteLength.load());
  ASSERT_EQ(input->Read(report), 8);
  EXPECT_THAT(report, ElementsAre(4, 0xF3, 7, 0, 0, 0, 0, 0));
  EXPECT_THAT(LogRecords(), ElementsAre("F 07 15 04 00 00 00 00 00", "KEYS 04 00 00 00 00 00"));
}

TEST_F(UhidKernelTest, UnplugIsARemovalAndPlugAnArrival) {
  ASSERT_TRUE(OpenDeviceLink(link_, backend_, reporter_));
  HidInputChannel* input = link_.InputChannel.load();
  ASSERT_NE(input, nullptr);
  int readResult = 0;
  std::thread reader([&] {
    Bytes report(8);
    readResult = input->Read(report);  // blocks until the device goes away
  });
  simulator_.Send("unplug");
  const std::string removed = WaitForNotice(DeviceEvent::Removal);
  reader.join();
  EXPECT_EQ(readResult, -1);
  EXPECT_EQ(removed, node_);
  EXPECT_EQ(HandleDeviceNotice(link_, backend_, reporter_, DeviceEvent::Removal, removed), NoticeOutcome::MouseRemoved);
  EXPECT_FALSE(link_.Connected);
  HidOpenError error = HidOpenError::None;
  EXPECT_EQ(backend_.OpenFeature(node_, error), nullptr);

  // The old node stays taken while this process holds it open, so the mouse
  // may come back under another number; a new discovery finds it there.
  simulator_.Send("plug");
  const std::string arrived = WaitForNotice(DeviceEvent::Arrival);
  EXPECT_THAT(arrived, ::testing::StartsWith("/dev/hidraw"));
  DeviceLink again;
  FeatureReporter reporter;
  ASSERT_TRUE(OpenDeviceLink(again, backend_, reporter));
  EXPECT_EQ(again.DevicePath, arrived);
  ASSERT_TRUE(reporter.Send([](std::span<std::uint8_t> report) { compose::WheelStatus(report, 1); }));
  EXPECT_THAT(LogRecords(), ElementsAre("UNPLUG", "PLUG", "F 07 11 01 00 00 00 00 00"));
}

}  // namespace
}  // namespace tolvar
