#include "device/device_link.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "unit/device/hid_descriptor_builder.h"

namespace tolvar {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reports waiting on a fake node; an empty queue reads as a failed read.
struct NodeReports {
  std::deque<int> results;  // -1: read error, 0: empty read, >0: next report from `reports`
  std::deque<Bytes> reports;
};

class FakeInputChannel : public HidInputChannel {
 public:
  FakeInputChannel(std::shared_ptr<NodeReports> node, std::shared_ptr<int> alive)
      : node_(std::move(node)), alive_(std::move(alive)) {
    ++*alive_;
  }
  ~FakeInputChannel() override { --*alive_; }
  int Read(std::span<std::uint8_t> buffer) override {
    if (node_->results.empty()) return -1;
    const int result = node_->results.front();
    node_->results.pop_front();
    if (result <= 0) return result;
    const Bytes report = node_->reports.front();
    node_->reports.pop_front();
    const std::size_t n = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), n, buffer.begin());
    return static_cast<int>(n);
  }

 private:
  std::shared_ptr<NodeReports> node_;
  std::shared_ptr<int> alive_;
};

class FakeFeatureChannel : public HidFeatureChannel {
 public:
  FakeFeatureChannel(std::string path, std::vector<std::pair<std::string, Bytes>>& sent)
      : path_(std::move(path)), sent_(sent) {}
  bool SendFeature(std::span<const std::uint8_t> report) override {
    sent_.emplace_back(path_, Bytes(report.begin(), report.end()));
    return true;
  }

 private:
  std::string path_;
  std::vector<std::pair<std::string, Bytes>>& sent_;
};

class FakeBackend : public HidBackend {
 public:
  void Add(std::string path, std::uint16_t vendor, std::uint16_t product, const test::Descriptor& descriptor) {
    devices.push_back(HidDeviceInfo{std::move(path), vendor, product, descriptor.bytes()});
  }
  void AddMouseNode(std::string path, const test::Descriptor& descriptor) {
    Add(std::move(path), kMouseVendorId, kMouseProductId, descriptor);
  }

  std::vector<HidDeviceInfo> Enumerate(std::size_t limit) override {
    requestedLimit = limit;
    ++enumerations;
    return devices;
  }
  std::unique_ptr<HidInputChannel> OpenInput(const std::string& path, HidOpenError& error) override {
    opened.push_back("in " + path);
    error = Refusal(path);
    if (error != HidOpenError::None) return nullptr;
    auto& node = nodes[path];
    if (!node) node = std::make_shared<NodeReports>();
    return std::make_unique<FakeInputChannel>(node, liveInputs);
  }
  std::unique_ptr<HidFeatureChannel> OpenFeature(const std::string& path, HidOpenError& error) override {
    opened.push_back("out " + path);
    error = Refusal(path);
    if (error != HidOpenError::None) return nullptr;
    return std::make_unique<FakeFeatureChannel>(path, sent);
  }

  HidOpenError Refusal(const std::string& path) const {
    const auto it = refuse.find(path);
    return it == refuse.end() ? HidOpenError::None : it->second;
  }

  std::vector<HidDeviceInfo> devices;
  std::map<std::string, HidOpenError> refuse;
  std::map<std::string, std::shared_ptr<NodeReports>> nodes;
  std::vector<std::string> opened;
  std::vector<std::pair<std::string, Bytes>> sent;
  std::shared_ptr<int> liveInputs = std::make_shared<int>(0);
  std::size_t requestedLimit = 0;
  int enumerations = 0;
};

class DeviceLinkTest : public testing::Test {
 protected:
  bool Open() { return OpenDeviceLink(link, backend, reporter); }
  void SendDetach() {
    reporter.Send([](auto r) { compose::Detach(r); });
  }

  FakeBackend backend;
  DeviceLink link;
  FeatureReporter reporter;
};

TEST_F(DeviceLinkTest, OneNodeWithBothCollections) {
  backend.Add("/dev/hidraw0", 0x046D, 0xC077, test::BootMouse());
  backend.AddMouseNode("/dev/hidraw1", test::BootMouse());
  backend.AddMouseNode("/dev/hidraw2", test::MouseVendorInterface(false));

  EXPECT_TRUE(Open());
  EXPECT_EQ(backend.requestedLimit, kEnumerationLimit);
  EXPECT_TRUE(link.Connected);
  EXPECT_EQ(link.DevicePath, "/dev/hidraw2");
  EXPECT_EQ(backend.opened, (std::vector<std::string>{"in /dev/hidraw2", "out /dev/hidraw2"}));
  EXPECT_EQ(link.InputReportByteLength.load(), 9u);
  EXPECT_EQ(link.FeatureReportByteLength, 8u);
  EXPECT_EQ(link.InputReportIds, (std::set<std::uint8_t>{6}));
  EXPECT_EQ(link.InputChannel.load(), link.InputHandle.get());
  EXPECT_TRUE(link.PermissionDenied.empty());

  SendDetach();
  ASSERT_EQ(backend.sent.size(), 1u);
  EXPECT_EQ(backend.sent[0].first, "/dev/hidraw2");
  EXPECT_EQ(backend.sent[0].second, (Bytes{7, 0x20, 0, 0, 0, 0, 0, 0}));
}

TEST_F(DeviceLinkTest, AReaderWaitingForTheChannelIsWoken) {
  backend.AddMouseNode("/dev/hidraw2", test::MouseVendorInterface(false));
  std::atomic<HidInputChannel*> seen{nullptr};
  std::thread reader([&] {
    link.InputChannel.wait(nullptr);
    seen = link.InputChannel.load();
  });
  ASSERT_TRUE(Open());
  reader.join();
  EXPECT_EQ(seen.load(), link.InputHandle.get());
}

TEST_F(DeviceLinkTest, CollectionsOnSeparateNodesInEitherOrder) {
  for (const bool featureFirst : {false, true}) {
    SCOPED_TRACE(featureFirst ? "feature first" : "input first");
    FakeBackend fresh;
    const test::Descriptor input = test::Vendor(0xFF00, 0, 8, 0);
    const test::Descriptor feature = test::Vendor(0xFF01, 7, 0, 7);
    fresh.AddMouseNode("/dev/hidraw3", featureFirst ? feature : input);
    fresh.Add("/dev/hidraw4", 0x1234, 0x5678, test::MouseVendorInterface(false));
    fresh.AddMouseNode("/dev/hidraw5", featureFirst ? input : feature);
    fresh.AddMouseNode("/dev/hidraw6", test::MouseVendorInterface(false));
    DeviceLink fresh_link;
    FeatureReporter fresh_reporter;

    EXPECT_TRUE(OpenDeviceLink(fresh_link, fresh, fresh_reporter));
    // Discovery stops once both are open: the last node is never examined.
    EXPECT_EQ(fresh_link.DevicePath, "/dev/hidraw5");
    EXPECT_EQ(fresh.opened.size(), 2u);
    EXPECT_EQ(fresh_link.InputReportByteLength.load(), 9u);
    EXPECT_EQ(fresh_link.InputReportIds, (std::set<std::uint8_t>{0}));
    EXPECT_EQ(fresh_link.FeatureReportByteLength, 8u);
    EXPECT_NE(fresh_link.InputChannel.load(), nullptr);
    EXPECT_TRUE(fresh_reporter.IsOpen());
  }
}

TEST_F(DeviceLinkTest, OtherDevicesAreNeverOpened) {
  backend.Add("/dev/hidraw0", 0x18F8, 0x1687, test::MouseVendorInterface(false));
  backend.Add("/dev/hidraw1", 0x18F9, 0x1686, test::MouseVendorInterface(false));
  EXPECT_FALSE(Open());
  EXPECT_FALSE(link.Connected);
  EXPECT_TRUE(link.DevicePath.empty());
  EXPECT_TRUE(backend.opened.empty());
  EXPECT_EQ(link.InputChannel.load(), nullptr);
  EXPECT_FALSE(reporter.IsOpen());
}

TEST_F(DeviceLinkTest, MouseWithoutItsCollectionsIsConnectedWithNothingOpen) {
  backend.AddMouseNode("/dev/hidraw0", test::BootMouse());
  backend.AddMouseNode("/dev/hidraw1", test::Descriptor().Raw({0x05, 0x01, 0x09}));  // truncated
  EXPECT_TRUE(Open());
  EXPECT_EQ(link.DevicePath, "/dev/hidraw1");
  EXPECT_TRUE(backend.opened.empty());
  EXPECT_EQ(link.InputChannel.load(), nullptr);
  EXPECT_FALSE(reporter.IsOpen());
}

TEST_F(DeviceLinkTest, NodesThatRefuseAccessAreListedOnce) {
  backend.AddMouseNode("/dev/hidraw2", test::MouseVendorInterface(false));
  backend.refuse["/dev/hidraw2"] = HidOpenError::PermissionDenied;
  EXPECT_TRUE(Open());
  EXPECT_EQ(link.PermissionDenied, (std::vector<std::string>{"/dev/hidraw2"}));
  EXPECT_EQ(link.InputChannel.load(), nullptr);
  EXPECT_FALSE(reporter.IsOpen());
}

TEST_F(DeviceLinkTest, AFailedOpenIsNotAPermissionProblemAndALaterCollectionIsTried) {
  backend.AddMouseNode("/dev/hidraw2", test::Vendor(0xFF00, 0, 8, 0));
  backend.AddMouseNode("/dev/hidraw3", test::MouseVendorInterface(true));
  backend.refuse["/dev/hidraw2"] = HidOpenError::Failed;
  EXPECT_TRUE(Open());
  EXPECT_TRUE(link.PermissionDenied.empty());
  EXPECT_EQ(backend.opened, (std::vector<std::string>{"in /dev/hidraw2", "out /dev/hidraw3", "in /dev/hidraw3"}));
  EXPECT_EQ(link.InputReportIds, (std::set<std::uint8_t>{6}));
}

TEST_F(DeviceLinkTest, SecondDiscoveryReplacesChannelsWithoutFreeingTheReadersOne) {
  backend.AddMouseNode("/dev/hidraw2", test::MouseVendorInterface(false));
  ASSERT_TRUE(Open());
  HidInputChannel* firstInput = link.InputChannel.load();

  backend.devices.clear();
  backend.AddMouseNode("/dev/hidraw7", test::MouseVendorInterface(true));
  ASSERT_TRUE(Open());

  EXPECT_EQ(link.DevicePath, "/dev/hidraw7");
  EXPECT_NE(link.InputChannel.load(), firstInput);
  // The reader may still be inside a read on the first channel: it stays alive.
  EXPECT_EQ(*backend.liveInputs, 2);
  ASSERT_EQ(link.RetiredInputs.size(), 1u);
  EXPECT_EQ(link.RetiredInputs[0].get(), firstInput);
  SendDetach();
  ASSERT_EQ(backend.sent.size(), 1u);
  EXPECT_EQ(backend.sent[0].first, "/dev/hidraw7");
}

TEST_F(DeviceLinkTest, SecondDiscoveryWithoutTheMouseLeavesNothingOpen) {
  backend.AddMouseNode("/dev/hidraw2", test::MouseVendorInterface(false));
  ASSERT_TRUE(Open());
  backend.devices.clear();
  EXPECT_FALSE(Open());
  EXPECT_EQ(link.InputChannel.load(), nullptr);
  EXPECT_FALSE(reporter.IsOpen());
  EXPECT_EQ(link.InputReportByteLength.load(), 0u);
  EXPECT_TRUE(link.DevicePath.empty());
}

class InputCollectionReads : public DeviceLinkTest {
 protected:
  // Opens a mouse whose node carries `descriptor` and queues `reads` on it.
  void OpenWith(const test::Descriptor& descriptor, std::deque<int> results, std::deque<Bytes> reports) {
    backend.AddMouseNode("/dev/hidraw2", descriptor);
    ASSERT_TRUE(Open());
    ASSERT_NE(link.InputChannel.load(), nullptr);
    backend.nodes["/dev/hidraw2"]->results = std::move(results);
    backend.nodes["/dev/hidraw2"]->reports = std::move(reports);
  }
  std::pair<int, Bytes> Read(std::size_t bufferSize) {
    Bytes buffer(bufferSize, 0xCC);
    const int n = link.InputChannel.load()->Read(buffer);
    buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return {n, buffer};
  }
};

TEST_F(InputCollectionReads, ReportsOfOtherCollectionsAreSkipped) {
  OpenWith(test::MouseVendorInterface(false), {3, 3, 9, 9},
           {{1, 0, 0}, {2, 0xE9, 0x00}, {6, 0xF5, 0x00, 0, 0, 0, 0, 0, 0}, {6, 0xF5, 0x80, 0, 0, 0, 0, 0, 0}});
  EXPECT_EQ(Read(9), std::make_pair(9, Bytes{6, 0xF5, 0x00, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Read(9), std::make_pair(9, Bytes{6, 0xF5, 0x80, 0, 0, 0, 0, 0, 0}));
}

TEST_F(InputCollectionReads, UnnumberedReportsGetReportIdZeroInFront) {
  OpenWith(test::Vendor(0xFF00, 0, 3, 0).Append(test::Vendor(0xFF01, 0, 0, 7)), {3}, {{0xF5, 0x80, 0x02}});
  EXPECT_EQ(Read(4), std::make_pair(4, Bytes{0, 0xF5, 0x80, 0x02}));
}

TEST_F(InputCollectionReads, ShortBufferTakesTheStartOfTheReport) {
  OpenWith(test::MouseVendorInterface(false), {9}, {{6, 0xF3, 0x02, 1, 2, 3, 4, 5, 6}});
  EXPECT_EQ(Read(3), std::make_pair(3, Bytes{6, 0xF3, 0x02}));
}

TEST_F(InputCollectionReads, ErrorsAndEmptyReadsReturnAtOnce) {
  OpenWith(test::MouseVendorInterface(false), {0, -1}, {});
  EXPECT_EQ(Read(9).first, 0);
  EXPECT_EQ(Read(9).first, -1);
}

TEST(InputReportFilter, ReportIdDecides) {
  struct Case {
    std::set<std::uint8_t> ids;
    Bytes report;
    bool belongs;
  };
  const std::vector<Case> cases = {
      {{6}, {6, 0xF1, 0}, true}, {{6}, {1, 0xF1, 0}, false}, {{6}, {}, false},
      {{3, 4}, {4, 0xF1}, true}, {{3, 4}, {5, 0xF1}, false}, {{0}, {0xF1, 0}, true},
      {{0}, {}, false},          {{}, {6, 0xF1}, false},     {{6}, {0, 0xF1}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsInputCollectionReport(c.ids, c.report), c.belongs)
        << "ids size " << c.ids.size() << ", report size " << c.report.size();
  }
}

TEST(MouseInterfaceNotice, PathComparedIgnoringAsciiCase) {
  DeviceLink link;
  link.DevicePath = "/dev/hidraw3";
  const std::vector<std::pair<std::string, bool>> cases = {
      {"/dev/hidraw3", true}, {"/DEV/HIDRAW3", true},  {"/dev/hidraw30", false},
      {"/dev/hidraw", false}, {"/dev/hidraw4", false}, {"", false},
  };
  for (const auto& [path, match] : cases) EXPECT_EQ(IsMouseInterfaceNotice(link, path), match) << path;

  link.DevicePath.clear();
  EXPECT_FALSE(IsMouseInterfaceNotice(link, ""));
}

TEST_F(DeviceLinkTest, NoticesArrivalAndRemoval) {
  backend.AddMouseNode("/dev/hidraw2", test::MouseVendorInterface(false));
  ASSERT_TRUE(Open());

  EXPECT_EQ(HandleDeviceNotice(link, backend, reporter, DeviceEvent::Arrival, "/dev/hidraw2"), NoticeOutcome::Ignored);
  EXPECT_EQ(backend.enumerations, 1);
  EXPECT_EQ(HandleDeviceNotice(link, backend, reporter, DeviceEvent::Removal, "/dev/hidraw9"), NoticeOutcome::Ignored);
  EXPECT_TRUE(link.Connected);

  EXPECT_EQ(HandleDeviceNotice(link, backend, reporter, DeviceEvent::Removal, "/DEV/hidraw2"),
            NoticeOutcome::MouseRemoved);
  EXPECT_FALSE(link.Connected);
  // The mouse is gone: not even the detach report goes out.
  SendDetach();
  EXPECT_TRUE(backend.sent.empty());

  EXPECT_EQ(HandleDeviceNotice(link, backend, reporter, DeviceEvent::Arrival, "/dev/hidraw2"),
            NoticeOutcome::Rediscovered);
  EXPECT_EQ(backend.enumerations, 2);
  EXPECT_TRUE(link.Connected);
  EXPECT_TRUE(reporter.IsOpen());
}

TEST(PermissionMessage, NamesEveryNodeAndTheFix) {
  const std::string one = Utf16ToUtf8(PermissionDeniedMessage({"/dev/hidraw3"}));
  const std::string two = Utf16ToUtf8(PermissionDeniedMessage({"/dev/hidraw3", "/dev/hidraw4"}));
  for (const std::string& text : {one, two}) {
    EXPECT_NE(text.find("/dev/hidraw3"), std::string::npos) << text;
    EXPECT_NE(text.find("packaging/70-tolvar.rules"), std::string::npos) << text;
    EXPECT_NE(text.find("/etc/udev/rules.d/"), std::string::npos) << text;
    EXPECT_NE(text.find("udevadm control --reload-rules && sudo udevadm trigger"), std::string::npos) << text;
    EXPECT_NE(text.find("plug it in again"), std::string::npos) << text;
  }
  EXPECT_NE(two.find("/dev/hidraw3, /dev/hidraw4"), std::string::npos) << two;
}

}  // namespace
}  // namespace tolvar
