// The simulated mouse served on a socket in this process, reached through
// the program's own backend, notices and discovery.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/feature_report.h"
#include "mouse_descriptor.h"
#include "platform/sim/sim_hid_backend.h"
#include "platform/sim/sim_notice_stream.h"
#include "platform/sim/sim_protocol.h"
#include "simulator.h"
#include "socket_transport.h"

namespace tolvar::mousesim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::string> LogRecords(const std::filesystem::path& path) {
  std::vector<std::string> records;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) records.push_back(line.substr(line.find(' ') + 1));
  return records;
}

// Waits (bounded, so a fault fails instead of hanging) until `fd` is readable.
bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 10000) == 1;
}

class SimSocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::path(::testing::TempDir()) / ("sim_socket_" + std::to_string(getpid()) + "_" +
                                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    socketPath_ = (folder_ / "mouse.sock").string();
    logPath_ = folder_ / "mouse.log";
    std::string error;
    ASSERT_TRUE(log_.Open(logPath_.string(), error)) << error;
    StartServer();
  }

  void StartServer() {
    transport_ = std::make_unique<SocketTransport>(socketPath_, Identity(), simulator_);
    std::string error;
    ASSERT_TRUE(transport_->Listen(error)) << error;
    simulator_.Attach(*transport_);
    ASSERT_TRUE(simulator_.Start(error)) << error;
  }

  void TearDown() override {
    transport_.reset();
    std::filesystem::remove_all(folder_);
  }

  void Run(CommandKind kind, int button = 0, std::uint8_t value = 1) {
    const Simulator::Outcome outcome = simulator_.Execute({kind, button, value});
    ASSERT_EQ(outcome.error, "");
  }

  std::filesystem::path folder_;
  std::string socketPath_;
  std::filesystem::path logPath_;
  EventLog log_;
  Simulator simulator_{log_};
  std::unique_ptr<SocketTransport> transport_;
};

TEST_F(SimSocketTest, EnumerateListsTheMouseWithItsDescriptor) {
  sim::SimHidBackend backend(socketPath_);
  const std::vector<HidDeviceInfo> devices = backend.Enumerate(kEnumerationLimit);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].path, "sim:" + socketPath_);
  EXPECT_EQ(devices[0].vendorId, 0x18F8);
  EXPECT_EQ(devices[0].productId, 0x1686);
  EXPECT_THAT(devices[0].reportDescriptor, ElementsAreArray(ReportDescriptor()));
  EXPECT_TRUE(backend.Enumerate(0).empty());
}

TEST_F(SimSocketTest, DiscoveryOpensBothCollections) {
  sim::SimHidBackend backend(socketPath_);
  DeviceLink link;
  FeatureReporter reporter;
  ASSERT_TRUE(OpenDeviceLink(link, backend, reporter));
  EXPECT_EQ(link.DevicePath, "sim:" + socketPath_);
  EXPECT_EQ(link.FeatureReportByteLength, 8u);
  EXPECT_EQ(link.InputReportByteLength.load(), 8u);
  EXPECT_THAT(link.InputReportIds, ElementsAre(4));

  // A feature report goes out whole and is logged before the send returns.
  ASSERT_TRUE(reporter.Send([](std::span<std::uint8_t> report) { compose::FireTime(report, 300); }));
  EXPECT_EQ(LogRecords(logPath_).back(), "F 07 12 01 2C 00 00 00 00");
  EXPECT_EQ(simulator_.State().fireTime, 300);

  // The key command makes the mouse send a keyboard report first; the link's
  // input channel passes on only the button report.
  ASSERT_TRUE(reporter.Send([](std::span<std::uint8_t> report) { compose::Keys(report, {4, 0, 0, 0, 0, 0}); }));
  Run(CommandKind::Press, 5, 3);
  HidInputChannel* input = link.InputChannel.load();
  ASSERT_NE(input, nullptr);
  Bytes buffer(8);
  ASSERT_EQ(input->Read(buffer), 8);
  EXPECT_THAT(buffer, ElementsAre(4, 0xF5, 3, 0, 0, 0, 0, 0));
}

TEST_F(SimSocketTest, InputChannelGetsEveryReportInOrder) {
  sim::SimHidBackend backend(socketPath_);
  HidOpenError error = HidOpenError::Failed;
  const auto input = backend.OpenInput(backend.DevicePath(), error);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(error, HidOpenError::None);
  const auto feature = backend.OpenFeature(backend.DevicePath(), error);
  ASSERT_NE(feature, nullptr);

  Run(CommandKind::Press, 1);
  ASSERT_TRUE(feature->SendFeature(Bytes{7, 0x16, 0, 0xFE, 0, 0, 0, 0}));
  Run(CommandKind::Release, 1);

  Bytes buffer(16);
  ASSERT_EQ(input->Read(buffer), 8);
  EXPECT_THAT(Bytes(buffer.begin(), buffer.begin() + 8), ElementsAre(4, 0xF1, 1, 0, 0, 0, 0, 0));
  ASSERT_EQ(input->Read(buffer), 5);
  EXPECT_THAT(Bytes(buffer.begin(), buffer.begin() + 5), ElementsAre(1, 1, 0, 0, 0));
  // A buffer shorter than the report gets its first bytes, as from a hidraw node.
  Bytes shortBuffer(3);
  ASSERT_EQ(input->Read(shortBuffer), 3);
  EXPECT_THAT(shortBuffer, ElementsAre(4, 0xF1, 0x80));

  EXPECT_THAT(LogRecords(logPath_), ElementsAre("F 07 16 00 FE 00 00 00 00", "BUTTONS FE"));
}

TEST_F(SimSocketTest, UnplugEndsChannelsAndSendsNotices) {
  sim::SimHidBackend backend(socketPath_);
  sim::SimNoticeStream notices(socketPath_);
  ASSERT_TRUE(notices.Connect());
  EXPECT_EQ(notices.DevicePath(), backend.DevicePath());
  HidOpenError error = HidOpenError::None;
  const auto input = backend.OpenInput(backend.DevicePath(), error);
  const auto feature = backend.OpenFeature(backend.DevicePath(), error);
  ASSERT_NE(input, nullptr);
  ASSERT_NE(feature, nullptr);

  Run(CommandKind::Unplug);
  Bytes buffer(8);
  EXPECT_EQ(input->Read(buffer), -1);
  EXPECT_EQ(input->Read(buffer), -1);
  EXPECT_FALSE(feature->SendFeature(Bytes{7, 0x20, 0, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(Readable(notices.Fd()));
  EXPECT_THAT(notices.Drain(), ElementsAre(DeviceEvent::Removal));

  EXPECT_TRUE(backend.Enumerate(kEnumerationLimit).empty());
  EXPECT_EQ(backend.OpenInput(backend.DevicePath(), error), nullptr);
  EXPECT_EQ(error, HidOpenError::Failed);
  EXPECT_EQ(backend.OpenFeature(backend.DevicePath(), error), nullptr);
  EXPECT_EQ(simulator_.Execute({CommandKind::Press, 1, 1}).error, "the mouse is unplugged; plug it in first");
  EXPECT_EQ(simulator_.Execute({CommandKind::Unplug}).error, "the mouse is already unplugged");

  Run(CommandKind::Plug);
  ASSERT_TRUE(Readable(notices.Fd()));
  EXPECT_THAT(notices.Drain(), ElementsAre(DeviceEvent::Arrival));
  EXPECT_EQ(backend.Enumerate(kEnumerationLimit).size(), 1u);
  const auto again = backend.OpenInput(backend.DevicePath(), error);
  ASSERT_NE(again, nullptr);
  Run(CommandKind::Press, 2);
  ASSERT_EQ(again->Read(buffer), 8);
  EXPECT_EQ(buffer[1], 0xF2);

  EXPECT_THAT(LogRecords(logPath_), ElementsAre("UNPLUG", "PLUG"));
}

// ---- Faults on command ----

Command FaultCommand(CommandKind kind, int count = 1, int delayMs = 0, Bytes bytes = {}) {
  Command command{kind};
  command.count = count;
  command.delayMs = delayMs;
  command.bytes = std::move(bytes);
  return command;
}

TEST_F(SimSocketTest, RefusedAndCutFeatureReportsFailTheSendAndAreNotTaken) {
  sim::SimHidBackend backend(socketPath_);
  HidOpenError error = HidOpenError::Failed;
  const Bytes fireTime{7, 0x12, 0, 50, 0, 0, 0, 0};
  auto feature = backend.OpenFeature(backend.DevicePath(), error);
  ASSERT_NE(feature, nullptr);

  ASSERT_EQ(simulator_.Execute(FaultCommand(CommandKind::Refuse, 2)).error, "");
  EXPECT_FALSE(feature->SendFeature(fireTime));
  EXPECT_FALSE(feature->SendFeature(fireTime));
  EXPECT_TRUE(feature->SendFeature(fireTime)) << "the refusals are used up";
  EXPECT_EQ(simulator_.State().fireTime, 50);

  ASSERT_EQ(simulator_.Execute(FaultCommand(CommandKind::CutFeature)).error, "");
  EXPECT_FALSE(feature->SendFeature(Bytes{7, 0x12, 0, 60, 0, 0, 0, 0}));
  EXPECT_FALSE(feature->SendFeature(fireTime)) << "the connection is gone";
  EXPECT_EQ(simulator_.State().fireTime, 50);
  feature = backend.OpenFeature(backend.DevicePath(), error);
  ASSERT_NE(feature, nullptr) << "the mouse is still there";
  EXPECT_TRUE(feature->SendFeature(fireTime));

  EXPECT_THAT(LogRecords(logPath_),
              ElementsAre("REFUSED 07 12 00 32 00 00 00 00", "REFUSED 07 12 00 32 00 00 00 00",
                          "F 07 12 00 32 00 00 00 00", "CUT 07 12 00 3C 00 00 00 00", "F 07 12 00 32 00 00 00 00"));
}

TEST_F(SimSocketTest, ADelayedAnswerComesAndOtherChannelsAreServedMeanwhile) {
  sim::SimHidBackend backend(socketPath_);
  HidOpenError error = HidOpenError::Failed;
  const auto feature = backend.OpenFeature(backend.DevicePath(), error);
  const auto input = backend.OpenInput(backend.DevicePath(), error);
  ASSERT_NE(feature, nullptr);
  ASSERT_NE(input, nullptr);
  ASSERT_EQ(simulator_.Execute(FaultCommand(CommandKind::Delay, 2, 200)).error, "");
  std::thread sender([&] {
    EXPECT_TRUE(feature->SendFeature(Bytes{7, 0x12, 0, 70, 0, 0, 0, 0}));
    EXPECT_TRUE(feature->SendFeature(Bytes{7, 0x12, 0, 80, 0, 0, 0, 0}));
  });
  Run(CommandKind::Press, 3);
  Bytes buffer(8);
  EXPECT_EQ(input->Read(buffer), 8);
  EXPECT_EQ(buffer[1], 0xF3);
  sender.join();
  EXPECT_TRUE(feature->SendFeature(Bytes{7, 0x12, 0, 90, 0, 0, 0, 0})) << "no delay left";
  EXPECT_EQ(simulator_.State().fireTime, 90);
}

TEST_F(SimSocketTest, OddInputAndACutInputReachTheInputChannel) {
  sim::SimHidBackend backend(socketPath_);
  HidOpenError error = HidOpenError::Failed;
  const auto input = backend.OpenInput(backend.DevicePath(), error);
  ASSERT_NE(input, nullptr);
  Bytes buffer(64);
  ASSERT_EQ(simulator_.Execute(FaultCommand(CommandKind::Input, 1, 0, {4, 0xF1})).error, "");
  ASSERT_EQ(input->Read(buffer), 2) << "a short report";
  EXPECT_THAT(Bytes(buffer.begin(), buffer.begin() + 2), ElementsAre(4, 0xF1));
  ASSERT_EQ(simulator_.Execute(FaultCommand(CommandKind::RandomInput, 20)).error, "");
  for (int i = 0; i < 20; ++i) {
    const int read = input->Read(buffer);
    EXPECT_GE(read, 0);
    EXPECT_LE(read, 64);
  }
  ASSERT_EQ(simulator_.Execute(FaultCommand(CommandKind::CutInput)).error, "");
  EXPECT_EQ(input->Read(buffer), -1) << "half a report, then the end";
  EXPECT_EQ(input->Read(buffer), -1);
  const std::vector<std::string> records = LogRecords(logPath_);
  ASSERT_EQ(records.size(), 1u + 20u + 1u);
  EXPECT_EQ(records.front(), "INPUT 04 F1");
  EXPECT_EQ(records.back(), "CUT INPUT");
}

TEST_F(SimSocketTest, GoneAfterUnplugsTheMouseOnceItHasTakenThatManyReports) {
  sim::SimHidBackend backend(socketPath_);
  sim::SimNoticeStream notices(socketPath_);
  ASSERT_TRUE(notices.Connect());
  HidOpenError error = HidOpenError::Failed;
  const auto feature = backend.OpenFeature(backend.DevicePath(), error);
  ASSERT_NE(feature, nullptr);
  ASSERT_EQ(simulator_.Execute(FaultCommand(CommandKind::GoneAfter, 2)).error, "");
  EXPECT_TRUE(feature->SendFeature(Bytes{7, 0x12, 0, 1, 0, 0, 0, 0}));
  EXPECT_TRUE(feature->SendFeature(Bytes{7, 0x12, 0, 2, 0, 0, 0, 0})) << "the last report is answered";
  EXPECT_FALSE(feature->SendFeature(Bytes{7, 0x12, 0, 3, 0, 0, 0, 0}));
  ASSERT_TRUE(Readable(notices.Fd()));
  EXPECT_THAT(notices.Drain(), ElementsAre(DeviceEvent::Removal));
  EXPECT_THAT(LogRecords(logPath_), ElementsAre("F 07 12 00 01 00 00 00 00", "F 07 12 00 02 00 00 00 00", "UNPLUG"));
  EXPECT_EQ(simulator_.Execute({CommandKind::Unplug}).error, "the mouse is already unplugged");
}

TEST_F(SimSocketTest, SimulatorGoingAwayIsARemoval) {
  sim::SimNoticeStream notices(socketPath_);
  ASSERT_TRUE(notices.Connect());
  transport_.reset();
  ASSERT_TRUE(Readable(notices.Fd()));
  EXPECT_THAT(notices.Drain(), ElementsAre(DeviceEvent::Removal));
  EXPECT_EQ(notices.Fd(), -1);
  EXPECT_FALSE(std::filesystem::exists(socketPath_));
}

TEST_F(SimSocketTest, SimulatorGoingAwayWhileUnpluggedIsNoNotice) {
  sim::SimNoticeStream notices(socketPath_);
  Run(CommandKind::Unplug);
  ASSERT_TRUE(notices.Connect());
  transport_.reset();
  ASSERT_TRUE(Readable(notices.Fd()));
  EXPECT_TRUE(notices.Drain().empty());
  EXPECT_EQ(notices.Fd(), -1);
}

TEST_F(SimSocketTest, WrongPathAndMissingSimulatorFail) {
  sim::SimHidBackend backend(socketPath_);
  HidOpenError error = HidOpenError::None;
  EXPECT_EQ(backend.OpenInput("/dev/hidraw0", error), nullptr);
  EXPECT_EQ(error, HidOpenError::Failed);

  sim::SimHidBackend nobody((folder_ / "nobody.sock").string());
  EXPECT_TRUE(nobody.Enumerate(kEnumerationLimit).empty());
  EXPECT_EQ(nobody.OpenFeature(nobody.DevicePath(), error), nullptr);
  EXPECT_EQ(error, HidOpenError::Failed);
  sim::SimNoticeStream notices((folder_ / "nobody.sock").string());
  EXPECT_FALSE(notices.Connect());
  EXPECT_EQ(notices.Fd(), -1);
}

TEST_F(SimSocketTest, ProtocolBreachEndsOnlyThatConnection) {
  const struct {
    const char* name;
    Bytes bytes;
  } breaches[] = {{"UnknownFrameType", {'Z', 0, 0}},
                  {"OversizeFrame", {'O', 0xFF, 0xFF}},
                  {"FeatureBeforeOpen", {'F', 1, 0, 7}},
                  {"UnknownRole", {'O', 1, 0, 'Q'}},
                  {"InputFrameFromClient", {'O', 1, 0, 'I', 'I', 1, 0, 4}}};
  for (const auto& breach : breaches) {
    SCOPED_TRACE(breach.name);
    const int fd = sim::ConnectToSimulator(socketPath_);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(send(fd, breach.bytes.data(), breach.bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(breach.bytes.size()));
    // The server closes the connection (after any answer it gave first).
    sim::FrameReader reader;
    while (sim::ReadFrame(fd, reader)) {
    }
    close(fd);
  }
  sim::SimHidBackend backend(socketPath_);
  EXPECT_EQ(backend.Enumerate(kEnumerationLimit).size(), 1u);
}

TEST_F(SimSocketTest, ListenRefusesABusySocketAndReplacesAStaleOne) {
  EventLog otherLog;
  Simulator other(otherLog);
  std::string error;
  SocketTransport busy(socketPath_, Identity(), other);
  EXPECT_FALSE(busy.Listen(error));
  EXPECT_EQ(error, "another simulator is listening on " + socketPath_);

  const std::string notSocket = (folder_ / "plain-file").string();
  std::ofstream(notSocket) << "x";
  SocketTransport onFile(notSocket, Identity(), other);
  EXPECT_FALSE(onFile.Listen(error));
  EXPECT_EQ(error, notSocket + " exists and is not a socket");

  SocketTransport tooLong(std::string(200, 'a'), Identity(), other);
  EXPECT_FALSE(tooLong.Listen(error));
  EXPECT_THAT(error, ::testing::HasSubstr("the socket path must be 1 to 107 bytes long"));

  // A socket file left behind by a simulator that ended is taken over.
  const std::string stalePath = (folder_ / "stale.sock").string();
  {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, stalePath.c_str(), stalePath.size());
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
  }
  SocketTransport replacing(stalePath, Identity(), other);
  ASSERT_TRUE(replacing.Listen(error)) << error;
  other.Attach(replacing);
  ASSERT_TRUE(other.Start(error));
  EXPECT_EQ(sim::SimHidBackend(stalePath).Enumerate(kEnumerationLimit).size(), 1u);
}

TEST(FrameReaderTest, CutsFramesAtTheirLengthsAcrossChunks) {
  Bytes stream = sim::EncodeFrame(sim::FrameType::Input, Bytes{4, 0xF1, 1});
  const Bytes second = sim::EncodeFrame(sim::FrameType::Ack);
  stream.insert(stream.end(), second.begin(), second.end());
  sim::FrameReader reader;
  for (std::uint8_t byte : stream) reader.Append(std::span(&byte, 1));
  EXPECT_EQ(reader.Next(), (sim::Frame{sim::FrameType::Input, {4, 0xF1, 1}}));
  EXPECT_EQ(reader.Next(), (sim::Frame{sim::FrameType::Ack, {}}));
  EXPECT_EQ(reader.Next(), std::nullopt);
  EXPECT_FALSE(reader.Broken());
}

TEST(FrameReaderTest, OversizeAndUnknownFramesBreakTheStream) {
  for (const Bytes& bad : {Bytes{'I', 0x01, 0x20}, Bytes{'x', 0, 0}}) {
    sim::FrameReader reader;
    reader.Append(bad);
    reader.Append(sim::EncodeFrame(sim::FrameType::Ack));
    EXPECT_EQ(reader.Next(), std::nullopt);
    EXPECT_TRUE(reader.Broken());
    EXPECT_EQ(reader.Next(), std::nullopt);
  }
  EXPECT_TRUE(sim::EncodeFrame(sim::FrameType::Input, Bytes(sim::kMaxFramePayload + 1)).empty());
}

TEST(IdentityTest, RoundTripsAndRejectsShortPayloads) {
  const sim::DeviceIdentity identity = Identity();
  EXPECT_EQ(sim::DecodeIdentity(sim::EncodeIdentity(identity)), identity);
  EXPECT_EQ(sim::DecodeIdentity(Bytes{0xF8, 0x18, 0x86}), std::nullopt);
}

}  // namespace
}  // namespace tolvar::mousesim
