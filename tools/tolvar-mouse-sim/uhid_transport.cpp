#include "uhid_transport.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

namespace tolvar::mousesim {

namespace {

constexpr char kUhidPath[] = "/dev/uhid";
constexpr char kDeviceName[] = "Tolvar simulated mouse";
constexpr std::uint16_t kBusUsb = 0x03;

bool WriteEvent(int fd, const uhid_event& event) {
  for (;;) {
    const ssize_t n = write(fd, &event, sizeof event);
    if (n < 0 && errno == EINTR) continue;
    return n == static_cast<ssize_t>(sizeof event);
  }
}

}  // namespace

UhidTransport::UhidTransport(sim::DeviceIdentity identity, FeatureSink& sink)
    : identity_(std::move(identity)), sink_(sink) {}

UhidTransport::~UhidTransport() {
  if (thread_.joinable()) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(stopWrite_, &byte, 1);
    thread_.join();
  }
  Unplug();
  if (fd_ >= 0) close(fd_);
  if (stopRead_ >= 0) close(stopRead_);
  if (stopWrite_ >= 0) close(stopWrite_);
}

bool UhidTransport::Open(std::string& error) {
  fd_ = open(kUhidPath, O_RDWR | O_CLOEXEC);
  if (fd_ < 0) {
    error = std::string("cannot open ") + kUhidPath + ": " + std::strerror(errno) +
            " (it needs root and the uhid kernel module: modprobe uhid)";
    return false;
  }
  int stop[2];
  if (pipe2(stop, O_CLOEXEC) != 0) {
    error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return false;
  }
  stopRead_ = stop[0];
  stopWrite_ = stop[1];
  thread_ = std::thread([this] { Serve(); });
  return true;
}

bool UhidTransport::Plug(std::string& error) {
  if (created_) return true;
  if (identity_.reportDescriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
    error = "the report descriptor is too long for uhid";
    return false;
  }
  uhid_event event{};
  event.type = UHID_CREATE2;
  uhid_create2_req& create = event.u.create2;
  std::memcpy(create.name, kDeviceName, sizeof kDeviceName);
  create.rd_size = static_cast<std::uint16_t>(identity_.reportDescriptor.size());
  create.bus = kBusUsb;
  create.vendor = identity_.vendorId;
  create.product = identity_.productId;
  create.version = 0x0100;
  std::copy(identity_.reportDescriptor.begin(), identity_.reportDescriptor.end(), create.rd_data);
  if (!WriteEvent(fd_, event)) {
    error = std::string("cannot create the uhid device: ") + std::strerror(errno);
    return false;
  }
  created_ = true;
  return true;
}

void UhidTransport::Unplug() {
  if (!created_) return;
  uhid_event event{};
  event.type = UHID_DESTROY;
  WriteEvent(fd_, event);
  created_ = false;
}

void UhidTransport::SendInput(std::span<const std::uint8_t> report) {
  if (!created_) return;
  uhid_event event{};
  event.type = UHID_INPUT2;
  const std::size_t size = std::min<std::size_t>(report.size(), UHID_DATA_MAX);
  event.u.input2.size = static_cast<std::uint16_t>(size);
  std::copy_n(report.begin(), size, event.u.input2.data);
  WriteEvent(fd_, event);
}

void UhidTransport::Serve() {
  for (;;) {
    pollfd polls[2] = {{fd_, POLLIN, 0}, {stopRead_, POLLIN, 0}};
    if (poll(polls, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (polls[1].revents) return;
    if (!(polls[0].revents & POLLIN)) {
      if (polls[0].revents) return;
      continue;
    }
    uhid_event event{};
    const ssize_t n = read(fd_, &event, sizeof event);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return;
    if (event.type == UHID_SET_REPORT) {
      const uhid_set_report_req& request = event.u.set_report;
      FeatureAnswer answer;
      if (request.rtype == UHID_FEATURE_REPORT) {
        answer = sink_.TakeFeatureReport(
            std::span<const std::uint8_t>(request.data, std::min<std::size_t>(request.size, UHID_DATA_MAX)));
      }
      // The kernel waits for the reply; a late one is a slow mouse.
      if (answer.delay.count() > 0) std::this_thread::sleep_for(answer.delay);
      uhid_event reply{};
      reply.type = UHID_SET_REPORT_REPLY;
      reply.u.set_report_reply.id = request.id;
      // A cut cannot be shown over uhid: it fails the send as a refusal does.
      reply.u.set_report_reply.err = answer.kind == FeatureAnswer::Kind::Taken ? 0 : EIO;
      WriteEvent(fd_, reply);
    } else if (event.type == UHID_GET_REPORT) {
      uhid_event reply{};
      reply.type = UHID_GET_REPORT_REPLY;
      reply.u.get_report_reply.id = event.u.get_report.id;
      reply.u.get_report_reply.err = EIO;
      WriteEvent(fd_, reply);
    }
  }
}

}  // namespace tolvar::mousesim
