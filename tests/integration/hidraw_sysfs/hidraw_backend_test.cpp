#include "platform/linux/hidraw_backend.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "integration/hidraw_sysfs/fake_hidraw_tree.h"
#include "platform/linux/udev_notices.h"
#include "unit/device/hid_descriptor_builder.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

TEST_F(FakeHidrawTree, EnumeratesInNodeNumberOrderUpToTheLimit) {
  for (const char* name : {"hidraw10", "hidraw2", "hidraw0", "hidraw7"}) {
    AddNode(name, "HID_ID=0003:0000046D:0000C077\n", Bytes{0x05, 0x01});
  }
  fs::create_directories(fs::path(SysDir()) / "hidrawx");
  fs::create_directories(fs::path(SysDir()) / "other3");

  HidrawBackend backend(SysDir(), DevDir());
  std::vector<std::string> paths;
  for (const HidDeviceInfo& device : backend.Enumerate(100)) paths.push_back(device.path);
  EXPECT_EQ(paths, (std::vector<std::string>{Node("hidraw0"), Node("hidraw2"), Node("hidraw7"), Node("hidraw10")}));

  paths.clear();
  for (const HidDeviceInfo& device : backend.Enumerate(2)) paths.push_back(device.path);
  EXPECT_EQ(paths, (std::vector<std::string>{Node("hidraw0"), Node("hidraw2")}));
}

TEST_F(FakeHidrawTree, ReadsIdsAndDescriptorAndSkipsUnreadableIds) {
  const Bytes descriptor = test::MouseVendorInterface(false).bytes();
  AddNode("hidraw1", kMouseHidId, descriptor);
  AddNode("hidraw2", "HID_ID=0005:0000046d:0000b01a\n", std::nullopt);  // Bluetooth, lower-case hex, no descriptor
  AddNode("hidraw3", "HID_ID=0003:000018F8\n", Bytes{});                // malformed
  AddNode("hidraw4", "HID_ID=0003:0001000018F8:00001686\n", Bytes{});   // vendor beyond 16 bits
  AddNode("hidraw5", "", Bytes{});                                      // no HID_ID
  fs::create_directories(fs::path(SysDir()) / "hidraw6");               // no device folder

  const std::vector<HidDeviceInfo> devices = HidrawBackend(SysDir(), DevDir()).Enumerate(100);
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].path, Node("hidraw1"));
  EXPECT_EQ(devices[0].vendorId, 0x18F8);
  EXPECT_EQ(devices[0].productId, 0x1686);
  EXPECT_EQ(devices[0].reportDescriptor, descriptor);
  EXPECT_EQ(devices[1].path, Node("hidraw2"));
  EXPECT_EQ(devices[1].vendorId, 0x046D);
  EXPECT_EQ(devices[1].productId, 0xB01A);
  EXPECT_TRUE(devices[1].reportDescriptor.empty());
}

TEST_F(FakeHidrawTree, MissingClassFolderGivesNoDevices) {
  EXPECT_TRUE(HidrawBackend(SysDir() + "/absent", DevDir()).Enumerate(100).empty());
}

TEST_F(FakeHidrawTree, OpenErrorsMapToTheirKind) {
  struct Case {
    int error;
    HidOpenError expected;
  };
  for (const Case& c : {Case{EACCES, HidOpenError::PermissionDenied}, Case{EPERM, HidOpenError::PermissionDenied},
                        Case{ENOENT, HidOpenError::Failed}, Case{EBUSY, HidOpenError::Failed}}) {
    std::vector<int> flagsSeen;
    HidrawBackend backend(SysDir(), DevDir(), [&](const std::string&, int flags) {
      flagsSeen.push_back(flags);
      errno = c.error;
      return -1;
    });
    HidOpenError inError = HidOpenError::None, outError = HidOpenError::None;
    EXPECT_EQ(backend.OpenInput(Node("hidraw1"), inError), nullptr);
    EXPECT_EQ(backend.OpenFeature(Node("hidraw1"), outError), nullptr);
    EXPECT_EQ(inError, c.expected) << c.error;
    EXPECT_EQ(outError, c.expected) << c.error;
    // Read access for input, write access for feature reports.
    ASSERT_EQ(flagsSeen.size(), 2u);
    EXPECT_EQ(flagsSeen[0] & O_ACCMODE, O_RDONLY);
    EXPECT_EQ(flagsSeen[1] & O_ACCMODE, O_WRONLY);
  }
}

TEST_F(FakeHidrawTree, ChannelsOnOrdinaryFiles) {
  AddNode("hidraw1", kMouseHidId, Bytes{});
  { std::ofstream(Node("hidraw1"), std::ios::binary) << std::string("\x06\xF5\x80", 3); }
  HidrawBackend backend(SysDir(), DevDir());

  HidOpenError error = HidOpenError::Failed;
  auto input = backend.OpenInput(Node("hidraw1"), error);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(error, HidOpenError::None);
  Bytes buffer(9, 0);
  EXPECT_EQ(input->Read(buffer), 3);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{6, 0xF5, 0x80}));
  EXPECT_EQ(input->Read(buffer), 0);

  // A node that is no hidraw device takes no feature report, and says so.
  auto feature = backend.OpenFeature(Node("hidraw1"), error);
  ASSERT_NE(feature, nullptr);
  const Bytes report{7, 0x20, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(feature->SendFeature(report));
  EXPECT_FALSE(feature->SendFeature({}));

  // A directory in place of the node cannot be opened for writing.
  fs::create_directories(Node("hidraw9"));
  EXPECT_EQ(backend.OpenFeature(Node("hidraw9"), error), nullptr);
  EXPECT_EQ(error, HidOpenError::Failed);
}

TEST_F(FakeHidrawTree, DiscoveryFindsTheMouseAmongOtherDevices) {
  AddNode("hidraw0", "HID_ID=0003:0000046D:0000C31C\n", test::Keyboard(0).bytes());
  AddMouse("hidraw1", test::BootMouse());
  // hidraw2 and hidraw3 are gone (gaps); the feature collection comes first.
  AddMouse("hidraw4", test::Vendor(0xFF01, 7, 0, 7));
  AddNode("hidraw5", "HID_ID=0003:00001234:00005678\n", test::Vendor(0xFF00, 0, 8, 0).bytes());
  AddMouse("hidraw8", test::Keyboard(1).Append(test::Vendor(0xFF00, 6, 8, 0)));
  AddMouse("hidraw9", test::MouseVendorInterface(false));

  std::vector<std::string> opened;
  HidrawBackend backend(SysDir(), DevDir(), [&](const std::string& path, int flags) {
    opened.push_back(path);
    return ::open(path.c_str(), flags);
  });
  DeviceLink link;
  FeatureReporter reporter;
  ASSERT_TRUE(OpenDeviceLink(link, backend, reporter));
  EXPECT_EQ(link.DevicePath, Node("hidraw8"));
  EXPECT_EQ(opened, (std::vector<std::string>{Node("hidraw4"), Node("hidraw8")}));
  EXPECT_EQ(link.FeatureReportByteLength, 8u);
  EXPECT_EQ(link.InputReportByteLength.load(), 9u);
  EXPECT_EQ(link.InputReportIds, (std::set<std::uint8_t>{6}));
  EXPECT_TRUE(reporter.IsOpen());
  EXPECT_NE(link.InputChannel.load(), nullptr);
}

TEST_F(FakeHidrawTree, DiscoveryReportsNodesWithoutAccess) {
  AddMouse("hidraw1", test::BootMouse());
  AddMouse("hidraw3", test::MouseVendorInterface(true));
  HidrawBackend backend(SysDir(), DevDir(), [&](const std::string& path, int flags) {
    if (path == Node("hidraw3")) {
      errno = EACCES;
      return -1;
    }
    return ::open(path.c_str(), flags);
  });
  DeviceLink link;
  FeatureReporter reporter;
  EXPECT_TRUE(OpenDeviceLink(link, backend, reporter));
  EXPECT_EQ(link.PermissionDenied, (std::vector<std::string>{Node("hidraw3")}));
  EXPECT_FALSE(reporter.IsOpen());
  EXPECT_EQ(link.InputChannel.load(), nullptr);
}

TEST(UdevNotices, SourceFollowsTheDaemonsControlSocket) {
  const fs::path control = fs::temp_directory_path() / ("tolvar-udev-control-" + std::to_string(::getpid()));
  fs::remove(control);
  EXPECT_STREQ(AutomaticUdevSource(control.string()), "kernel");
  std::ofstream(control) << "";
  EXPECT_STREQ(AutomaticUdevSource(control.string()), "udev");
  fs::remove(control);
}

TEST(UdevNotices, ActionsThatCount) {
  const std::vector<std::pair<std::string, std::optional<DeviceEvent>>> cases = {
      {"add", DeviceEvent::Arrival},
      {"remove", DeviceEvent::Removal},
      {"change", DeviceEvent::Arrival},
      {"bind", std::nullopt},
      {"ADD", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [action, event] : cases) EXPECT_EQ(DeviceEventFromAction(action), event) << action;
}

TEST(UdevNotices, DrainWithoutPendingEventsReturnsAtOnce) {
  for (const UdevSource source : {UdevSource::Kernel, UdevSource::Automatic}) {
    UdevMonitor monitor(source);
    monitor.Drain([](DeviceEvent, const std::string&) {});
    if (monitor.Valid()) {
      EXPECT_GE(monitor.Fd(), 0);
      EXPECT_NE(::fcntl(monitor.Fd(), F_GETFL) & O_NONBLOCK, 0);
    } else {
      EXPECT_EQ(monitor.Fd(), -1);
    }
  }
}

}  // namespace
}  // namespace tolvar
