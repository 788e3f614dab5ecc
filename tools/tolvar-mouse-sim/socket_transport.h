// The simulated mouse behind a Unix stream socket, serving the protocol of
// platform/sim/sim_protocol.h on a thread of its own: enumeration, notices,
// input channels and feature channels. Plug, Unplug and SendInput only queue
// their work for that thread, so they never wait for a client.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "mouse_transport.h"
#include "platform/sim/sim_protocol.h"

namespace tolvar::mousesim {

class SocketTransport : public MouseTransport {
 public:
  SocketTransport(std::string socketPath, sim::DeviceIdentity identity, FeatureSink& sink);
  // Stops serving, closes every connection and removes the socket file.
  ~SocketTransport() override;
  SocketTransport(const SocketTransport&) = delete;
  SocketTransport& operator=(const SocketTransport&) = delete;

  // Listens at the socket path (replacing a stale socket file nobody serves)
  // and starts serving; false with `error` set.
  bool Listen(std::string& error);

  bool Plug(std::string& error) override;
  void Unplug() override;
  void SendInput(std::span<const std::uint8_t> report) override;
  // Each input connection gets the first half of a report and is closed.
  bool CutInput(std::string& error) override;

 private:
  enum class EventKind { Plug, Unplug, Input, CutInput, Stop };
  struct Event {
    EventKind kind;
    std::vector<std::uint8_t> report;
  };
  struct Client;

  void Post(Event event);
  void Serve();
  bool ApplyEvents(std::vector<Client>& clients);  // false on Stop
  void TakeFrame(Client& client, const sim::Frame& frame);
  // Queues the answers whose delay is over; the time until the next one is
  // due in milliseconds, or -1 when none waits.
  int ReleaseHeldAnswers(std::vector<Client>& clients);

  const std::string socketPath_;
  const sim::DeviceIdentity identity_;
  FeatureSink& sink_;
  int listenFd_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  bool plugged_ = false;  // as the serving thread sees it
  std::mutex mutex_;      // guards events_
  std::deque<Event> events_;
  std::thread thread_;
};

}  // namespace tolvar::mousesim
