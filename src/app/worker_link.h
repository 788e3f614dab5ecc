// Everything the input-report reader and the host-function player share with
// the user-interface thread, and nothing more: it is the workers' only
// argument besides their ports.
//
// Thread rules:
// - PlayRequest, StopRequest, TriggerCode, TriggerLevel: the reader writes
//   TriggerCode and TriggerLevel and then sets PlayRequest, only while
//   PlayRequest is 0; it sets StopRequest to end a playing macro after its
//   current repetition. The player clears StopRequest and then PlayRequest
//   after each whole pass.
// - ButtonIndexByNumber: constant.
// - HostHandled: written by Apply on the user-interface thread, read by the
//   player.
// - PlayerMacros: published by the user-interface thread after every change
//   of its macro tables; the workers copy from it under its lock.
// - Device: opened and closed by the user-interface thread; the reader
//   reads the published input channel.
// - Reporter: every feature report, from either thread, goes through its lock.
// - Settings: fields of the user-interface thread's settings, each Shared
//   (indivisible): the workers read the buttons' functions, the current
//   profile and the configuration file's path, and the player writes the DPI
//   level it takes over from the mouse.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "app/macro_hand_over.h"
#include "base/shared_value.h"
#include "config/profile_settings.h"
#include "device/device_link.h"
#include "device/feature_report.h"

namespace tolvar {

struct WorkerSettings {
  const std::array<Shared<std::int32_t>, kButtonCount>& K;
  Shared<std::int32_t>& DpiLevel;
  const Shared<int>& CurConfig;
  const std::string& ConfigPath;
};

struct WorkerLink {
  explicit WorkerLink(WorkerSettings settings) : Settings(settings) {}
  WorkerLink(const WorkerLink&) = delete;
  WorkerLink& operator=(const WorkerLink&) = delete;

  std::atomic<int> PlayRequest{0};
  std::atomic<int> StopRequest{0};
  std::atomic<std::uint8_t> TriggerCode{0};
  std::atomic<std::uint8_t> TriggerLevel{0};  // byte 2 of the report that raised the request

  // Logical button (0..6) for each device button number 0..15; kNone for none.
  static constexpr std::array<std::uint8_t, 16> ButtonIndexByNumber = BuildButtonIndexByNumber();

  std::array<std::atomic<bool>, kButtonCount> HostHandled{};
  MacroHandOver PlayerMacros;
  DeviceLink Device;
  FeatureReporter Reporter;
  const WorkerSettings Settings;
};

}  // namespace tolvar
