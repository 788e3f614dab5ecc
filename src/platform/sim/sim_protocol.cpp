#include "platform/sim/sim_protocol.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tolvar::sim {

namespace {

bool IsKnownType(std::uint8_t type) {
  switch (static_cast<FrameType>(type)) {
    case FrameType::Open:
    case FrameType::Device:
    case FrameType::Present:
    case FrameType::Absent:
    case FrameType::Arrival:
    case FrameType::Removal:
    case FrameType::Input:
    case FrameType::Feature:
    case FrameType::Ack:
    case FrameType::Refused:
      return true;
  }
  return false;
}

void PutLittleEndian16(std::uint8_t* out, std::size_t value) {
  out[0] = static_cast<std::uint8_t>(value & 0xFF);
  out[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::uint16_t GetLittleEndian16(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

std::string SimDevicePath(const std::string& socketPath) { return std::string(kSimPathPrefix) + socketPath; }

std::vector<std::uint8_t> EncodeFrame(FrameType type, std::span<const std::uint8_t> payload) {
  if (payload.size() > kMaxFramePayload) return {};
  std::vector<std::uint8_t> frame(kFrameHeaderSize + payload.size());
  frame[0] = static_cast<std::uint8_t>(type);
  PutLittleEndian16(&frame[1], payload.size());
  std::copy(payload.begin(), payload.end(), frame.begin() + kFrameHeaderSize);
  return frame;
}

void FrameReader::Append(std::span<const std::uint8_t> bytes) {
  if (!broken_) pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameReader::Next() {
  if (broken_ || pending_.size() < kFrameHeaderSize) return std::nullopt;
  const std::size_t length = GetLittleEndian16(std::span(pending_).subspan(1, 2));
  if (!IsKnownType(pending_[0]) || length > kMaxFramePayload) {
    broken_ = true;
    pending_.clear();
    return std::nullopt;
  }
  if (pending_.size() < kFrameHeaderSize + length) return std::nullopt;
  Frame frame{static_cast<FrameType>(pending_[0]),
              std::vector<std::uint8_t>(pending_.begin() + kFrameHeaderSize,
                                        pending_.begin() + static_cast<std::ptrdiff_t>(kFrameHeaderSize + length))};
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(kFrameHeaderSize + length));
  return frame;
}

std::vector<std::uint8_t> EncodeIdentity(const DeviceIdentity& identity) {
  std::vector<std::uint8_t> payload(4 + identity.reportDescriptor.size());
  PutLittleEndian16(&payload[0], identity.vendorId);
  PutLittleEndian16(&payload[2], identity.productId);
  std::copy(identity.reportDescriptor.begin(), identity.reportDescriptor.end(), payload.begin() + 4);
  return payload;
}

std::optional<DeviceIdentity> DecodeIdentity(std::span<const std::uint8_t> payload) {
  if (payload.size() < 4) return std::nullopt;
  return DeviceIdentity{GetLittleEndian16(payload.subspan(0, 2)), GetLittleEndian16(payload.subspan(2, 2)),
                        std::vector<std::uint8_t>(payload.begin() + 4, payload.end())};
}

int ConnectToSimulator(const std::string& socketPath) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) return -1;
  std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool WriteFrame(int fd, FrameType type, std::span<const std::uint8_t> payload) {
  const std::vector<std::uint8_t> frame = EncodeFrame(type, payload);
  if (frame.empty()) return false;
  std::size_t written = 0;
  while (written < frame.size()) {
    const ssize_t n = send(fd, frame.data() + written, frame.size() - written, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<Frame> ReadFrame(int fd, FrameReader& reader) {
  std::array<std::uint8_t, 4096> chunk{};
  for (;;) {
    if (auto frame = reader.Next()) return frame;
    if (reader.Broken()) return std::nullopt;
    const ssize_t n = recv(fd, chunk.data(), chunk.size(), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    reader.Append(std::span(chunk.data(), static_cast<std::size_t>(n)));
  }
}

Connection OpenConnection(const std::string& socketPath, Role role, FrameReader& reader,
                          std::vector<std::uint8_t>* answerPayload) {
  const int fd = ConnectToSimulator(socketPath);
  if (fd < 0) return {};
  const std::uint8_t roleByte = static_cast<std::uint8_t>(role);
  std::optional<Frame> answer;
  if (WriteFrame(fd, FrameType::Open, std::span(&roleByte, 1))) answer = ReadFrame(fd, reader);
  if (!answer) {
    close(fd);
    return {};
  }
  if (answerPayload) *answerPayload = std::move(answer->payload);
  return {fd, answer->type};
}

}  // namespace tolvar::sim
