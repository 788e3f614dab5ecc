// Arrival and removal notices of the simulated mouse, read from the
// simulator's socket without blocking, for an event loop to watch.
//
// Connect subscribes; the event loop watches Fd() and calls Drain whenever
// it is readable. Drain gives the notices that have arrived, in order; they
// concern the device DevicePath() ("sim:" + socket path). A simulator that
// goes away while its mouse is plugged in counts as a removal; the stream
// then closes and Fd() becomes -1.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/sim_protocol.h"
#include "ports/hid_backend.h"

namespace tolvar::sim {

class SimNoticeStream {
 public:
  explicit SimNoticeStream(std::string socketPath);
  ~SimNoticeStream();
  SimNoticeStream(const SimNoticeStream&) = delete;
  SimNoticeStream& operator=(const SimNoticeStream&) = delete;

  // False when no simulator listens.
  bool Connect();
  int Fd() const { return fd_; }
  const std::string& DevicePath() const { return devicePath_; }
  // Reads what has arrived, without waiting.
  std::vector<DeviceEvent> Drain();

 private:
  void Close();

  std::string socketPath_;
  std::string devicePath_;
  int fd_ = -1;
  bool plugged_ = false;
  FrameReader reader_;
};

}  // namespace tolvar::sim
