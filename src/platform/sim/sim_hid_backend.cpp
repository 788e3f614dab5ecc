#include "platform/sim/sim_hid_backend.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "platform/sim/sim_protocol.h"

namespace tolvar::sim {

namespace {

class SimInputChannel : public HidInputChannel {
 public:
  SimInputChannel(int fd, FrameReader reader) : fd_(fd), reader_(std::move(reader)) {}
  ~SimInputChannel() override { close(fd_); }

  int Read(std::span<std::uint8_t> buffer) override {
    const std::optional<Frame> frame = ReadFrame(fd_, reader_);
    if (!frame || frame->type != FrameType::Input) return -1;
    // Like a hidraw read: a report longer than the buffer is cut to it.
    const std::size_t count = std::min(buffer.size(), frame->payload.size());
    std::copy_n(frame->payload.begin(), count, buffer.begin());
    return static_cast<int>(count);
  }

 private:
  int fd_;
  FrameReader reader_;
};

class SimFeatureChannel : public HidFeatureChannel {
 public:
  SimFeatureChannel(int fd, FrameReader reader) : fd_(fd), reader_(std::move(reader)) {}
  ~SimFeatureChannel() override { close(fd_); }

  bool SendFeature(std::span<const std::uint8_t> report) override {
    // A report and its acknowledgement are one exchange.
    std::lock_guard lock(mutex_);
    if (!WriteFrame(fd_, FrameType::Feature, report)) return false;
    const std::optional<Frame> answer = ReadFrame(fd_, reader_);
    return answer && answer->type == FrameType::Ack;
  }

 private:
  std::mutex mutex_;
  int fd_;
  FrameReader reader_;
};

}  // namespace

std::optional<std::string> SimulatorSocketFromEnvironment() {
  const char* value = std::getenv(kSimulatorVariable);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

SimHidBackend::SimHidBackend(std::string socketPath)
    : socketPath_(std::move(socketPath)), devicePath_(SimDevicePath(socketPath_)) {}

std::vector<HidDeviceInfo> SimHidBackend::Enumerate(std::size_t limit) {
  if (limit == 0) return {};
  FrameReader reader;
  std::vector<std::uint8_t> payload;
  const Connection connection = OpenConnection(socketPath_, Role::Enumerate, reader, &payload);
  if (connection.fd < 0) return {};
  close(connection.fd);
  if (connection.answer != FrameType::Device) return {};
  std::optional<DeviceIdentity> identity = DecodeIdentity(payload);
  if (!identity) return {};
  return {HidDeviceInfo{devicePath_, identity->vendorId, identity->productId, std::move(identity->reportDescriptor)}};
}

std::unique_ptr<HidInputChannel> SimHidBackend::OpenInput(const std::string& path, HidOpenError& error) {
  FrameReader reader;
  const int fd = OpenWhilePresent(path, Role::Input, reader, error);
  if (fd < 0) return nullptr;
  return std::make_unique<SimInputChannel>(fd, std::move(reader));
}

std::unique_ptr<HidFeatureChannel> SimHidBackend::OpenFeature(const std::string& path, HidOpenError& error) {
  FrameReader reader;
  const int fd = OpenWhilePresent(path, Role::Feature, reader, error);
  if (fd < 0) return nullptr;
  return std::make_unique<SimFeatureChannel>(fd, std::move(reader));
}

int SimHidBackend::OpenWhilePresent(const std::string& path, Role role, FrameReader& reader,
                                    HidOpenError& error) const {
  error = HidOpenError::Failed;
  if (path != devicePath_) return -1;
  const Connection connection = OpenConnection(socketPath_, role, reader);
  if (connection.fd < 0) return -1;
  if (connection.answer != FrameType::Present) {
    close(connection.fd);
    return -1;
  }
  error = HidOpenError::None;
  return connection.fd;
}

}  // namespace tolvar::sim
