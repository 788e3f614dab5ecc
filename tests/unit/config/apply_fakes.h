// Fakes of the ports ApplySettings talks to; each notes what it was asked
// into one shared log, so a test sees the order of everything.
#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ports/hid_backend.h"
#include "ports/pointer_settings.h"
#include "support/still_window.h"

namespace tolvar::testing {

using EventLog = std::vector<std::string>;

inline std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%s%02X", text.empty() ? "" : " ", b);
    text += hex;
  }
  return text;
}

class RecordingFeatureChannel final : public HidFeatureChannel {
 public:
  explicit RecordingFeatureChannel(EventLog& log) : log_(log) {}
  bool SendFeature(std::span<const std::uint8_t> report) override {
    reports.push_back(HexBytes(report));
    log_.push_back("report " + reports.back().substr(3, 2));
    return true;
  }
  std::vector<std::string> reports;

 private:
  EventLog& log_;
};

class FakeSystemSettings final : public PointerSettings {
 public:
  FakeSystemSettings(EventLog& log, std::optional<int> speed, std::optional<int> lines)
      : speed(speed), lines(lines), log_(log) {}
  std::optional<int> PointerSpeed() override { return speed; }
  void SetPointerSpeed(int value) override {
    speed = value;
    log_.push_back("pointer speed " + std::to_string(value));
  }
  std::optional<int> WheelScrollLines() override { return lines; }
  void SetWheelScrollLines(int value) override {
    lines = value;
    log_.push_back("wheel lines " + std::to_string(value));
  }
  std::optional<int> speed;
  std::optional<int> lines;

 private:
  EventLog& log_;
};

class FakeWindowHost final : public StillWindow {
 public:
  explicit FakeWindowHost(EventLog& log) {
    onInvalidate = [&log] { log.push_back("repaint"); };
  }
};

}  // namespace tolvar::testing
