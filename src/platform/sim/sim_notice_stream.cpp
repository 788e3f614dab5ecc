#include "platform/sim/sim_notice_stream.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

namespace tolvar::sim {

SimNoticeStream::SimNoticeStream(std::string socketPath)
    : socketPath_(std::move(socketPath)), devicePath_(SimDevicePath(socketPath_)) {}

SimNoticeStream::~SimNoticeStream() { Close(); }

bool SimNoticeStream::Connect() {
  Close();
  reader_ = FrameReader{};
  const Connection connection = OpenConnection(socketPath_, Role::Notices, reader_);
  if (connection.fd < 0) return false;
  if (connection.answer != FrameType::Present && connection.answer != FrameType::Absent) {
    close(connection.fd);
    return false;
  }
  fd_ = connection.fd;
  plugged_ = connection.answer == FrameType::Present;
  return true;
}

std::vector<DeviceEvent> SimNoticeStream::Drain() {
  std::vector<DeviceEvent> events;
  bool ended = false;
  std::array<std::uint8_t, 512> chunk{};
  while (fd_ >= 0 && !ended) {
    const ssize_t n = recv(fd_, chunk.data(), chunk.size(), MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n <= 0) {
      ended = true;
      break;
    }
    reader_.Append(std::span(chunk.data(), static_cast<std::size_t>(n)));
    while (auto frame = reader_.Next()) {
      if (frame->type == FrameType::Arrival) {
        plugged_ = true;
        events.push_back(DeviceEvent::Arrival);
      } else if (frame->type == FrameType::Removal) {
        plugged_ = false;
        events.push_back(DeviceEvent::Removal);
      } else {
        ended = true;
      }
    }
    if (reader_.Broken()) ended = true;
  }
  if (ended) {
    // The simulator is gone, and its mouse with it.
    if (plugged_) events.push_back(DeviceEvent::Removal);
    plugged_ = false;
    Close();
  }
  return events;
}

void SimNoticeStream::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace tolvar::sim
