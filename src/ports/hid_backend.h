// What the core needs of HID devices: the devices present with their ids and
// report descriptors, channels to read input reports and send feature
// reports, and arrival and removal notices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tolvar {

struct HidDeviceInfo {
  std::string path;  // device node (or simulator address); identifies the device in notices
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::vector<std::uint8_t> reportDescriptor;
};

class HidInputChannel {
 public:
  virtual ~HidInputChannel() = default;
  // Blocks until one input report arrives and copies it (report id first
  // when the device numbers its reports). Returns the number of bytes, or -1
  // when the device is gone or the read fails.
  virtual int Read(std::span<std::uint8_t> buffer) = 0;
};

class HidFeatureChannel {
 public:
  virtual ~HidFeatureChannel() = default;
  // Sends one feature report (byte 0 is the report id). False on failure.
  virtual bool SendFeature(std::span<const std::uint8_t> report) = 0;
};

enum class HidOpenError { None, PermissionDenied, Failed };

class HidBackend {
 public:
  virtual ~HidBackend() = default;
  // The HID devices present, in the system's order, at most `limit` of them.
  virtual std::vector<HidDeviceInfo> Enumerate(std::size_t limit) = 0;
  virtual std::unique_ptr<HidInputChannel> OpenInput(const std::string& path, HidOpenError& error) = 0;
  virtual std::unique_ptr<HidFeatureChannel> OpenFeature(const std::string& path, HidOpenError& error) = 0;
};

enum class DeviceEvent { Arrival, Removal };

// Arrival and removal notices. The handler is called on the user-interface thread.
class DeviceNotices {
 public:
  virtual ~DeviceNotices() = default;
  virtual void Start(std::function<void(DeviceEvent, const std::string& path)> handler) = 0;
};

}  // namespace tolvar
