#include "device/hid_backend_chain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tolvar {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

class NamedInput : public HidInputChannel {
 public:
  explicit NamedInput(std::string owner) : owner(std::move(owner)) {}
  int Read(std::span<std::uint8_t>) override { return -1; }
  std::string owner;
};

class NamedFeature : public HidFeatureChannel {
 public:
  explicit NamedFeature(std::string owner) : owner(std::move(owner)) {}
  bool SendFeature(std::span<const std::uint8_t>) override { return true; }
  std::string owner;
};

// A backend with fixed devices; opens succeed for its own paths and say
// which backend served them.
class FakeBackend : public HidBackend {
 public:
  FakeBackend(std::string name, std::vector<std::string> paths) : name_(std::move(name)), paths_(std::move(paths)) {}

  std::vector<HidDeviceInfo> Enumerate(std::size_t limit) override {
    limits.push_back(limit);
    std::vector<HidDeviceInfo> devices;
    for (const std::string& path : paths_) {
      if (devices.size() == limit) break;
      devices.push_back({path, 0x18F8, 0x1686, {}});
    }
    return devices;
  }
  std::unique_ptr<HidInputChannel> OpenInput(const std::string&, HidOpenError& error) override {
    error = HidOpenError::None;
    return std::make_unique<NamedInput>(name_);
  }
  std::unique_ptr<HidFeatureChannel> OpenFeature(const std::string&, HidOpenError& error) override {
    error = HidOpenError::PermissionDenied;  // passed through as the owner says
    return std::make_unique<NamedFeature>(name_);
  }

  std::vector<std::size_t> limits;

 private:
  std::string name_;
  std::vector<std::string> paths_;
};

struct Chain {
  Chain(std::vector<std::string> hidrawPaths, std::vector<std::string> simPaths) {
    auto first = std::make_unique<FakeBackend>("hidraw", std::move(hidrawPaths));
    auto second = std::make_unique<FakeBackend>("sim", std::move(simPaths));
    hidraw = first.get();
    sim = second.get();
    chain.Add(std::move(first));
    chain.Add(std::move(second));
  }
  std::vector<std::string> Paths(std::size_t limit) {
    std::vector<std::string> paths;
    for (const HidDeviceInfo& device : chain.Enumerate(limit)) paths.push_back(device.path);
    return paths;
  }
  std::string InputOwner(const std::string& path) {
    HidOpenError error = HidOpenError::None;
    const auto channel = chain.OpenInput(path, error);
    return channel ? static_cast<NamedInput&>(*channel).owner : "none";
  }
  HidBackendChain chain;
  FakeBackend* hidraw;
  FakeBackend* sim;
};

TEST(HidBackendChainTest, EnumeratesBackendsInTurnWithinTheLimit) {
  const struct {
    std::size_t limit;
    std::vector<std::string> paths;
    std::vector<std::size_t> simLimits;  // what the second backend was asked for
  } cases[] = {
      {100, {"/dev/hidraw0", "/dev/hidraw1", "sim:/tmp/m"}, {98}},
      {3, {"/dev/hidraw0", "/dev/hidraw1", "sim:/tmp/m"}, {1}},
      {2, {"/dev/hidraw0", "/dev/hidraw1"}, {}},
      {1, {"/dev/hidraw0"}, {}},
      {0, {}, {}},
  };
  for (const auto& c : cases) {
    Chain chain({"/dev/hidraw0", "/dev/hidraw1"}, {"sim:/tmp/m"});
    EXPECT_EQ(chain.Paths(c.limit), c.paths) << "limit " << c.limit;
    EXPECT_EQ(chain.sim->limits, c.simLimits) << "limit " << c.limit;
  }
}

TEST(HidBackendChainTest, OpensGoToTheBackendThatListedThePath) {
  Chain chain({"/dev/hidraw0"}, {"sim:/tmp/m"});
  chain.Paths(100);
  EXPECT_EQ(chain.InputOwner("/dev/hidraw0"), "hidraw");
  EXPECT_EQ(chain.InputOwner("sim:/tmp/m"), "sim");

  HidOpenError error = HidOpenError::None;
  const auto feature = chain.chain.OpenFeature("sim:/tmp/m", error);
  ASSERT_NE(feature, nullptr);
  EXPECT_EQ(static_cast<NamedFeature&>(*feature).owner, "sim");
  EXPECT_EQ(error, HidOpenError::PermissionDenied);
}

TEST(HidBackendChainTest, UnlistedPathsFail) {
  Chain chain({"/dev/hidraw0"}, {"sim:/tmp/m"});
  HidOpenError error = HidOpenError::None;
  // Before any enumeration nothing is known.
  EXPECT_EQ(chain.chain.OpenInput("/dev/hidraw0", error), nullptr);
  EXPECT_EQ(error, HidOpenError::Failed);
  chain.Paths(100);
  EXPECT_EQ(chain.InputOwner("/dev/hidraw7"), "none");
  // A device beyond the limit of the latest enumeration is not routed.
  chain.Paths(1);
  EXPECT_EQ(chain.InputOwner("sim:/tmp/m"), "none");
  error = HidOpenError::None;
  EXPECT_EQ(chain.chain.OpenFeature("sim:/tmp/m", error), nullptr);
  EXPECT_EQ(error, HidOpenError::Failed);
}

TEST(HidBackendChainTest, APathListedTwiceBelongsToTheFirstBackend) {
  Chain chain({"/dev/hidraw0"}, {"/dev/hidraw0"});
  chain.Paths(100);
  EXPECT_EQ(chain.InputOwner("/dev/hidraw0"), "hidraw");
}

class RecordingNotices : public DeviceNotices {
 public:
  void Start(std::function<void(DeviceEvent, const std::string&)> h) override { handler = std::move(h); }
  std::function<void(DeviceEvent, const std::string&)> handler;
};

TEST(MergedDeviceNoticesTest, EverySourceReachesTheOneHandler) {
  MergedDeviceNotices merged;
  auto udev = std::make_unique<RecordingNotices>();
  auto sim = std::make_unique<RecordingNotices>();
  RecordingNotices* udevSource = udev.get();
  RecordingNotices* simSource = sim.get();
  merged.Add(std::move(udev));
  merged.Add(std::move(sim));

  std::vector<std::pair<DeviceEvent, std::string>> seen;
  merged.Start([&seen](DeviceEvent event, const std::string& path) { seen.emplace_back(event, path); });
  ASSERT_TRUE(udevSource->handler);
  ASSERT_TRUE(simSource->handler);
  simSource->handler(DeviceEvent::Removal, "sim:/tmp/m");
  udevSource->handler(DeviceEvent::Arrival, "/dev/hidraw3");
  EXPECT_THAT(seen, ElementsAre(Pair(DeviceEvent::Removal, "sim:/tmp/m"), Pair(DeviceEvent::Arrival, "/dev/hidraw3")));
}

}  // namespace
}  // namespace tolvar
