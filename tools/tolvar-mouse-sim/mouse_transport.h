// How the simulated mouse reaches the computer. A transport presents the
// device (ids and report descriptor), delivers its input reports, and hands
// the feature reports the computer sends to a FeatureSink, on a thread of
// its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace tolvar::mousesim {

// What the computer's send of a feature report comes back with.
struct FeatureAnswer {
  enum class Kind {
    Taken,    // the send succeeds
    Refused,  // the send fails; the mouse did not take the report
    Cut,      // the connection closes before any answer (over uhid: as Refused)
  } kind = Kind::Taken;
  std::chrono::milliseconds delay{0};  // how late the answer comes
  friend bool operator==(const FeatureAnswer&, const FeatureAnswer&) = default;
};

class FeatureSink {
 public:
  virtual ~FeatureSink() = default;
  // One feature report from the computer (report id first), and how the
  // computer's send of it completes.
  virtual FeatureAnswer TakeFeatureReport(std::span<const std::uint8_t> report) = 0;
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
  // Closes every input channel in the middle of a report; false with
  // `error` set where the transport cannot.
  virtual bool CutInput(std::string& error) {
    error = "this transport cannot cut an input report";
    return false;
  }
};

}  // namespace tolvar::mousesim
