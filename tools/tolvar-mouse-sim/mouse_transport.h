// How the simulated mouse reaches the computer. A transport presents the
// device (ids and report descriptor), delivers its input reports, and hands
// the feature reports the computer sends to a FeatureSink, on a thread of
// its own.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tolvar::mousesim {

class FeatureSink {
 public:
  virtual ~FeatureSink() = default;
  // One feature report from the computer (report id first). The computer's
  // send completes when this returns.
  virtual void TakeFeatureReport(std::span<const std::uint8_t> report) = 0;
};

class MouseTransport {
 public:
  virtual ~MouseTransport() = default;
  // The device appears to the computer; false with `error` set when it cannot.
  virtual bool Plug(std::string& error) = 0;
  // The device disappears: open channels fail and a removal notice goes out.
  virtual void Unplug() = 0;
  // One input report (report id first) while the device is plugged in.
  virtual void SendInput(std::span<const std::uint8_t> report) = 0;
};

}  // namespace tolvar::mousesim
