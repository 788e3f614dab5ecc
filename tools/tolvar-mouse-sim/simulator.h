// The simulated mouse as a whole: the mouse model, its log and the transport
// to the computer. Commands come from the user (Execute), feature reports
// from the transport's thread (TakeFeatureReport); one lock keeps the two in
// order.
#pragma once

#include <mutex>
#include <span>
#include <string>

#include "event_log.h"
#include "mouse_model.h"
#include "mouse_transport.h"
#include "sim_command.h"

namespace tolvar::mousesim {

class Simulator : public FeatureSink {
 public:
  explicit Simulator(EventLog& log) : log_(log) {}

  // The transport must outlive the simulator's use of it.
  void Attach(MouseTransport& transport);
  // Plugs the mouse in at start (no log record); false with `error` set.
  bool Start(std::string& error);

  void TakeFeatureReport(std::span<const std::uint8_t> report) override;

  struct Outcome {
    std::string output;  // for standard output
    std::string error;   // for standard error
    bool quit = false;
  };
  Outcome Execute(const Command& command);

  MouseState State() const;

 private:
  mutable std::mutex mutex_;
  EventLog& log_;
  MouseModel model_;
  MouseTransport* transport_ = nullptr;
  bool plugged_ = false;
};

}  // namespace tolvar::mousesim
