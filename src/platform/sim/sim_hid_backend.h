// The program's side of the simulated mouse: a HidBackend over the local
// socket of tools/tolvar-mouse-sim (protocol in sim_protocol.h).
//
// Enumerate lists one device, with the path "sim:" + socket path and the ids
// and report descriptor the simulator presents, while the simulated mouse is
// plugged in; nothing when it is unplugged or no simulator listens.
// OpenInput gives a channel whose Read blocks until the simulator sends an
// input report and returns -1 once the mouse is unplugged; OpenFeature gives
// a channel whose SendFeature returns once the simulator has taken the report
// (true) or refused it, closed the connection or gone away (false).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_protocol.h"
#include "ports/hid_backend.h"

namespace tolvar::sim {

// The environment variable that names the simulator's socket.
inline constexpr const char* kSimulatorVariable = "TOLVAR_SIMULATOR";

// The socket named by TOLVAR_SIMULATOR; nothing when it is unset or empty.
std::optional<std::string> SimulatorSocketFromEnvironment();

class SimHidBackend : public HidBackend {
 public:
  explicit SimHidBackend(std::string socketPath);

  // The path under which the simulated mouse is listed.
  const std::string& DevicePath() const { return devicePath_; }

  std::vector<HidDeviceInfo> Enumerate(std::size_t limit) override;
  std::unique_ptr<HidInputChannel> OpenInput(const std::string& path, HidOpenError& error) override;
  std::unique_ptr<HidFeatureChannel> OpenFeature(const std::string& path, HidOpenError& error) override;

 private:
  // A connection for `role` to the device at `path` while the mouse is
  // plugged in; -1 (and `error` set) otherwise.
  int OpenWhilePresent(const std::string& path, Role role, FrameReader& reader, HidOpenError& error) const;

  std::string socketPath_;
  std::string devicePath_;
};

}  // namespace tolvar::sim
