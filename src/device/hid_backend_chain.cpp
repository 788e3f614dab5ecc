#include "device/hid_backend_chain.h"

#include <utility>

namespace tolvar {

void HidBackendChain::Add(std::unique_ptr<HidBackend> backend) { backends_.push_back(std::move(backend)); }

std::vector<HidDeviceInfo> HidBackendChain::Enumerate(std::size_t limit) {
  owners_.clear();
  std::vector<HidDeviceInfo> devices;
  for (const auto& backend : backends_) {
    if (devices.size() >= limit) break;
    for (HidDeviceInfo& device : backend->Enumerate(limit - devices.size())) {
      if (devices.size() >= limit) break;
      // A path keeps the first backend that listed it.
      owners_.emplace(device.path, backend.get());
      devices.push_back(std::move(device));
    }
  }
  return devices;
}

std::unique_ptr<HidInputChannel> HidBackendChain::OpenInput(const std::string& path, HidOpenError& error) {
  HidBackend* owner = OwnerOf(path);
  if (!owner) {
    error = HidOpenError::Failed;
    return nullptr;
  }
  return owner->OpenInput(path, error);
}

std::unique_ptr<HidFeatureChannel> HidBackendChain::OpenFeature(const std::string& path, HidOpenError& error) {
  HidBackend* owner = OwnerOf(path);
  if (!owner) {
    error = HidOpenError::Failed;
    return nullptr;
  }
  return owner->OpenFeature(path, error);
}

HidBackend* HidBackendChain::OwnerOf(const std::string& path) const {
  const auto it = owners_.find(path);
  return it == owners_.end() ? nullptr : it->second;
}

void MergedDeviceNotices::Add(std::unique_ptr<DeviceNotices> notices) { sources_.push_back(std::move(notices)); }

void MergedDeviceNotices::Start(std::function<void(DeviceEvent, const std::string& path)> handler) {
  for (const auto& source : sources_) source->Start(handler);
}

}  // namespace tolvar
