// The simulated mouse as a whole: the mouse model, its log and the transport
// to the computer. Commands come from the user (Execute), feature reports
// from the transport's thread (TakeFeatureReport); one lock keeps the two in
// order. The fault commands arm the faults that the next feature reports
// meet, or send odd input at once; each fault leaves a log record.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>
#include <span>
#include <string>

#include "event_log.h"
#include "mouse_model.h"
#include "mouse_transport.h"
#include "sim_command.h"

namespace tolvar::mousesim {

class Simulator : public FeatureSink {
 public:
  // The bytes of random-input come from a fixed seed, so that a run can be
  // repeated byte for byte.
  explicit Simulator(EventLog& log, std::uint32_t seed = 1) : log_(log), random_(seed) {}

  // The transport must outlive the simulator's use of it.
  void Attach(MouseTransport& transport);
  // Plugs the mouse in at start (no log record); false with `error` set.
  bool Start(std::string& error);

  FeatureAnswer TakeFeatureReport(std::span<const std::uint8_t> report) override;

  struct Outcome {
    std::string output;  // for standard output
    std::string error;   // for standard error
    bool quit = false;
  };
  Outcome Execute(const Command& command);

  MouseState State() const;

 private:
  // The faults armed for the next feature reports.
  struct ArmedFaults {
    int refuse = 0;   // reports still to refuse
    int delayed = 0;  // answers still to delay
    std::chrono::milliseconds delay{0};
    bool cut = false;   // the next report's connection closes
    int goneAfter = 0;  // reports still to take before the mouse is unplugged; 0: none
  };

  Outcome Arm(const Command& command);
  Outcome SendRawInput(const Command& command);
  // Requires mutex_.
  void UnplugLocked();

  mutable std::mutex mutex_;
  EventLog& log_;
  MouseModel model_;
  MouseTransport* transport_ = nullptr;
  bool plugged_ = false;
  ArmedFaults faults_;
  std::mt19937 random_;
};

}  // namespace tolvar::mousesim
