// Several sources of HID devices seen as one: HidBackendChain enumerates its
// backends in the order they were added (the hidraw nodes first, then the
// simulated mouse) and routes each open to the backend that listed the path
// in the latest enumeration; MergedDeviceNotices passes the arrival and
// removal notices of several sources to one handler. Both are used from the
// user-interface thread only.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/hid_backend.h"

namespace tolvar {

class HidBackendChain : public HidBackend {
 public:
  void Add(std::unique_ptr<HidBackend> backend);

  // The devices of every backend in turn, at most `limit` in all.
  std::vector<HidDeviceInfo> Enumerate(std::size_t limit) override;
  // A path that the latest enumeration did not list fails with HidOpenError::Failed.
  std::unique_ptr<HidInputChannel> OpenInput(const std::string& path, HidOpenError& error) override;
  std::unique_ptr<HidFeatureChannel> OpenFeature(const std::string& path, HidOpenError& error) override;

 private:
  HidBackend* OwnerOf(const std::string& path) const;

  std::vector<std::unique_ptr<HidBackend>> backends_;
  std::map<std::string, HidBackend*> owners_;
};

class MergedDeviceNotices : public DeviceNotices {
 public:
  void Add(std::unique_ptr<DeviceNotices> notices);
  void Start(std::function<void(DeviceEvent, const std::string& path)> handler) override;

 private:
  std::vector<std::unique_ptr<DeviceNotices>> sources_;
};

}  // namespace tolvar
