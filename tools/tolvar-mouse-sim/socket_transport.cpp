#include "socket_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

namespace tolvar::mousesim {

namespace {

using sim::FrameType;
using sim::Role;

// Input reports beyond this much unsent output to one client are dropped,
// as a full report queue of a hidraw node drops them.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

void Append(std::vector<std::uint8_t>& out, FrameType type, std::span<const std::uint8_t> payload = {}) {
  const std::vector<std::uint8_t> frame = sim::EncodeFrame(type, payload);
  out.insert(out.end(), frame.begin(), frame.end());
}

}  // namespace

struct SocketTransport::Client {
  int fd = -1;
  std::optional<Role> role;
  sim::FrameReader in;
  std::vector<std::uint8_t> out;
  bool closeWhenSent = false;
  bool closed = false;
  // A late answer to a feature report: nothing more is read from the client
  // until it has gone out, as the computer waits for it.
  std::optional<std::chrono::steady_clock::time_point> heldUntil;
  FrameType heldAnswer = FrameType::Ack;
};

SocketTransport::SocketTransport(std::string socketPath, sim::DeviceIdentity identity, FeatureSink& sink)
    : socketPath_(std::move(socketPath)), identity_(std::move(identity)), sink_(sink) {}

SocketTransport::~SocketTransport() {
  if (thread_.joinable()) {
    Post({EventKind::Stop, {}});
    thread_.join();
  }
  if (listenFd_ >= 0) {
    close(listenFd_);
    unlink(socketPath_.c_str());
  }
  if (wakeRead_ >= 0) close(wakeRead_);
  if (wakeWrite_ >= 0) close(wakeWrite_);
}

bool SocketTransport::Listen(std::string& error) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath_.empty() || socketPath_.size() >= sizeof(address.sun_path)) {
    error =
        "the socket path must be 1 to " + std::to_string(sizeof(address.sun_path) - 1) + " bytes long: " + socketPath_;
    return false;
  }
  std::memcpy(address.sun_path, socketPath_.data(), socketPath_.size());

  struct stat existing {};
  if (lstat(socketPath_.c_str(), &existing) == 0) {
    if (!S_ISSOCK(existing.st_mode)) {
      error = socketPath_ + " exists and is not a socket";
      return false;
    }
    const int probe = sim::ConnectToSimulator(socketPath_);
    if (probe >= 0) {
      close(probe);
      error = "another simulator is listening on " + socketPath_;
      return false;
    }
    unlink(socketPath_.c_str());  // a stale socket left by a simulator that ended
  }

  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    error = SystemError("cannot create a socket");
    return false;
  }
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(fd, 16) != 0) {
    error = SystemError("cannot listen on " + socketPath_);
    close(fd);
    return false;
  }
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = SystemError("cannot create a pipe");
    close(fd);
    unlink(socketPath_.c_str());
    return false;
  }
  listenFd_ = fd;
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  thread_ = std::thread([this] { Serve(); });
  return true;
}

bool SocketTransport::Plug(std::string&) {
  Post({EventKind::Plug, {}});
  return true;
}

void SocketTransport::Unplug() { Post({EventKind::Unplug, {}}); }

bool SocketTransport::CutInput(std::string&) {
  Post({EventKind::CutInput, {}});
  return true;
}

void SocketTransport::SendInput(std::span<const std::uint8_t> report) {
  Post({EventKind::Input, std::vector<std::uint8_t>(report.begin(), report.end())});
}

void SocketTransport::Post(Event event) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  // A full pipe already wakes the serving thread.
  const std::uint8_t byte = 1;
  [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
}

bool SocketTransport::ApplyEvents(std::vector<Client>& clients) {
  std::array<std::uint8_t, 256> drain{};
  while (read(wakeRead_, drain.data(), drain.size()) > 0) {
  }
  std::deque<Event> events;
  {
    std::lock_guard lock(mutex_);
    events.swap(events_);
  }
  for (const Event& event : events) {
    switch (event.kind) {
      case EventKind::Stop:
        return false;
      case EventKind::Plug:
        plugged_ = true;
        for (Client& client : clients) {
          if (client.role == Role::Notices) Append(client.out, FrameType::Arrival);
        }
        break;
      case EventKind::Unplug:
        plugged_ = false;
        for (Client& client : clients) {
          if (client.role == Role::Notices) Append(client.out, FrameType::Removal);
          if (client.role == Role::Input || client.role == Role::Feature) client.closed = true;
        }
        break;
      case EventKind::Input:
        for (Client& client : clients) {
          if (client.role == Role::Input && !client.closed && client.out.size() < kMaxPendingOutput) {
            Append(client.out, FrameType::Input, event.report);
          }
        }
        break;
      case EventKind::CutInput: {
        constexpr std::array<std::uint8_t, 8> kReport{4, 0xF1, 1, 0, 0, 0, 0, 0};
        std::vector<std::uint8_t> half = sim::EncodeFrame(FrameType::Input, kReport);
        half.resize(sim::kFrameHeaderSize + kReport.size() / 2);
        for (Client& client : clients) {
          if (client.role == Role::Input && !client.closed) {
            client.out.insert(client.out.end(), half.begin(), half.end());
            client.closeWhenSent = true;
          }
        }
        break;
      }
    }
  }
  return true;
}

void SocketTransport::TakeFrame(Client& client, const sim::Frame& frame) {
  if (!client.role) {
    if (frame.type != FrameType::Open || frame.payload.size() != 1) {
      client.closed = true;
      return;
    }
    const Role role = static_cast<Role>(frame.payload[0]);
    switch (role) {
      case Role::Enumerate:
        if (plugged_) {
          Append(client.out, FrameType::Device, sim::EncodeIdentity(identity_));
        } else {
          Append(client.out, FrameType::Absent);
        }
        client.closeWhenSent = true;
        break;
      case Role::Notices:
        Append(client.out, plugged_ ? FrameType::Present : FrameType::Absent);
        break;
      case Role::Input:
      case Role::Feature:
        Append(client.out, plugged_ ? FrameType::Present : FrameType::Absent);
        client.closeWhenSent = !plugged_;
        break;
      default:
        client.closed = true;
        return;
    }
    client.role = role;
    return;
  }
  if (client.role == Role::Feature && frame.type == FrameType::Feature) {
    const FeatureAnswer answer = sink_.TakeFeatureReport(frame.payload);
    if (answer.kind == FeatureAnswer::Kind::Cut) {
      client.closed = true;
      return;
    }
    const FrameType type = answer.kind == FeatureAnswer::Kind::Taken ? FrameType::Ack : FrameType::Refused;
    if (answer.delay.count() > 0) {
      client.heldUntil = std::chrono::steady_clock::now() + answer.delay;
      client.heldAnswer = type;
    } else {
      Append(client.out, type);
    }
    return;
  }
  client.closed = true;
}

int SocketTransport::ReleaseHeldAnswers(std::vector<Client>& clients) {
  const auto now = std::chrono::steady_clock::now();
  std::optional<std::chrono::steady_clock::duration> next;
  for (Client& client : clients) {
    if (!client.heldUntil) continue;
    if (*client.heldUntil <= now) {
      Append(client.out, client.heldAnswer);
      client.heldUntil.reset();
      // Frames that came meanwhile are taken now.
      while (!client.closed && !client.heldUntil) {
        const std::optional<sim::Frame> frame = client.in.Next();
        if (!frame) break;
        TakeFrame(client, *frame);
      }
      if (!client.heldUntil) continue;
    }
    const auto wait = *client.heldUntil - now;
    if (!next || wait < *next) next = wait;
  }
  if (!next) return -1;
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(*next).count());
}

void SocketTransport::Serve() {
  std::vector<Client> clients;
  std::vector<pollfd> polls;
  std::array<std::uint8_t, 4096> chunk{};
  for (;;) {
    const int timeout = ReleaseHeldAnswers(clients);
    polls.assign({{wakeRead_, POLLIN, 0}, {listenFd_, POLLIN, 0}});
    for (const Client& client : clients) {
      polls.push_back({client.fd, static_cast<short>(POLLIN | (client.out.empty() ? 0 : POLLOUT)), 0});
    }
    if (poll(polls.data(), polls.size(), timeout) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    // Queued events go first: they happened before anything a client sends now.
    if ((polls[0].revents & POLLIN) && !ApplyEvents(clients)) break;

    for (std::size_t i = 0; i + 2 < polls.size(); ++i) {
      Client& client = clients[i];
      const short revents = polls[i + 2].revents;
      if (client.closed) continue;
      if (revents & (POLLIN | POLLHUP | POLLERR)) {
        const ssize_t n = recv(client.fd, chunk.data(), chunk.size(), MSG_DONTWAIT);
        if (n > 0) {
          client.in.Append(std::span(chunk.data(), static_cast<std::size_t>(n)));
          while (!client.closed && !client.heldUntil) {
            const std::optional<sim::Frame> frame = client.in.Next();
            if (!frame) break;
            TakeFrame(client, *frame);
          }
          if (client.in.Broken()) client.closed = true;
        } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
          client.closed = true;
        }
      }
      if (!client.closed && !client.out.empty()) {
        const ssize_t n = send(client.fd, client.out.data(), client.out.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
          client.out.erase(client.out.begin(), client.out.begin() + n);
        } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
          client.closed = true;
        }
      }
      if (client.closeWhenSent && client.out.empty()) client.closed = true;
    }

    if (polls[1].revents & POLLIN) {
      const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) {
        clients.emplace_back();
        clients.back().fd = fd;
      }
    }
    std::erase_if(clients, [](const Client& client) {
      if (client.closed) close(client.fd);
      return client.closed;
    });
  }
  for (const Client& client : clients) close(client.fd);
}

}  // namespace tolvar::mousesim
