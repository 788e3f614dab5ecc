// Fakes for the worker tests: an input channel fed by the test, a feature
// channel that records what was sent, a clock that only moves when slept on,
// and recording stand-ins for the window, the INI store and the launcher.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ports/clock.h"
#include "ports/hid_backend.h"
#include "ports/ini_store.h"
#include "ports/program_launcher.h"
#include "support/still_window.h"

namespace tolvar::testing {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kGiveUpAfter = std::chrono::seconds(20);  // guards against a hang, never a measure

// Waits until `predicate` holds; false when it never did.
template <typename Predicate>
bool WaitFor(Predicate predicate) {
  const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
  while (!predicate()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Reports are queued by the test; Read blocks until one is there. A queued
// failure makes one Read return -1; Close makes every later Read fail.
class FakeInputChannel final : public HidInputChannel {
 public:
  int Read(std::span<std::uint8_t> buffer) override {
    std::unique_lock lock(mutex_);
    ++blockedReaders_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return closed_ || !queue_.empty(); });
    --blockedReaders_;
    if (queue_.empty()) return -1;
    const Bytes report = queue_.front();
    queue_.pop_front();
    changed_.notify_all();
    if (report.empty()) return -1;
    const std::size_t count = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), count, buffer.begin());
    return static_cast<int>(count);
  }

  void Feed(Bytes report) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(report));
    changed_.notify_all();
  }
  void FeedFailure() { Feed({}); }
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
  }
  // True once every fed report was taken and the reader waits for the next:
  // everything fed so far has been handled.
  bool WaitUntilIdle() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kGiveUpAfter, [&] { return queue_.empty() && blockedReaders_ > 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Bytes> queue_;
  int blockedReaders_ = 0;
  bool closed_ = false;
};

// A clock that stands still until slept on; SleepUntil records the deadline
// and moves the time to it (plus an optional lateness), then calls the hook.
// SpinUntil moves the time to its deadline and records how long it spun.
class FakeClock final : public Clock {
 public:
  using Hook = std::function<void(int sleepIndex)>;

  TimePoint Now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void SleepUntil(TimePoint deadline) override {
    Hook hook;
    int index = 0;
    {
      std::lock_guard lock(mutex_);
      index = static_cast<int>(deadlines_.size());
      deadlines_.push_back(deadline);
      const auto late = index < static_cast<int>(lateness_.size()) ? lateness_[index] : std::chrono::microseconds(0);
      now_ = std::max(now_, deadline) + late;
      hook = hook_;
    }
    if (hook) hook(index);
  }
  void SpinUntil(TimePoint deadline) override {
    std::lock_guard lock(mutex_);
    spins_.push_back(std::chrono::duration_cast<std::chrono::microseconds>(std::max(deadline, now_) - now_));
    now_ = std::max(now_, deadline);
  }
  std::vector<std::chrono::microseconds> Spins() {
    std::lock_guard lock(mutex_);
    return spins_;
  }
  void Advance(std::chrono::milliseconds by) {
    std::lock_guard lock(mutex_);
    now_ += by;
  }
  void SetHook(Hook hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
  }
  // Lateness of each sleep by its index, e.g. a stall.
  void SetLateness(std::vector<std::chrono::microseconds> lateness) {
    std::lock_guard lock(mutex_);
    lateness_ = std::move(lateness);
  }
  // Deadlines requested so far, in milliseconds from the start.
  std::vector<long> DeadlinesMs() {
    std::lock_guard lock(mutex_);
    std::vector<long> result;
    for (const TimePoint d : deadlines_) {
      result.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(d - kStart).count());
    }
    return result;
  }
  long NowMs() { return std::chrono::duration_cast<std::chrono::milliseconds>(Now() - kStart).count(); }

 private:
  static constexpr TimePoint kStart{std::chrono::hours(1)};
  std::mutex mutex_;
  TimePoint now_ = kStart;
  std::vector<TimePoint> deadlines_;
  std::vector<std::chrono::microseconds> lateness_;
  std::vector<std::chrono::microseconds> spins_;
  Hook hook_;
};

// Records every feature report sent, with the fake time of the send; a
// send may take time on the fake clock, and the mouse is taken to have the
// report when the send returns.
class RecordingFeatureChannel final : public HidFeatureChannel {
 public:
  explicit RecordingFeatureChannel(FakeClock* clock = nullptr) : clock_(clock) {}

  bool SendFeature(std::span<const std::uint8_t> report) override {
    std::lock_guard lock(mutex_);
    if (clock_) {
      sentAtMs_.push_back(clock_->NowMs());
      const std::size_t index = reports_.size();
      clock_->Advance(index < sendTimes_.size() ? sendTimes_[index] : sendTime_);
      receivedAt_.push_back(clock_->Now());
    }
    reports_.emplace_back(report.begin(), report.end());
    changed_.notify_all();
    return true;
  }
  void SetSendTime(std::chrono::milliseconds sendTime) {
    std::lock_guard lock(mutex_);
    sendTime_ = sendTime;
  }
  // The time each send takes, by its index; later sends take SetSendTime's.
  void SetSendTimes(std::vector<std::chrono::milliseconds> sendTimes) {
    std::lock_guard lock(mutex_);
    sendTimes_ = std::move(sendTimes);
  }
  std::vector<Bytes> Reports() {
    std::lock_guard lock(mutex_);
    return reports_;
  }
  // The first `count` bytes of every report.
  std::vector<Bytes> Heads(std::size_t count) {
    std::vector<Bytes> heads;
    for (const Bytes& r : Reports()) heads.emplace_back(r.begin(), r.begin() + std::min(count, r.size()));
    return heads;
  }
  std::vector<long> SentAtMs() {
    std::lock_guard lock(mutex_);
    return sentAtMs_;
  }
  // When each send returned, on the fake clock.
  std::vector<Clock::TimePoint> ReceivedAt() {
    std::lock_guard lock(mutex_);
    return receivedAt_;
  }
  bool WaitForCount(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kGiveUpAfter, [&] { return reports_.size() >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  FakeClock* clock_;
  std::chrono::milliseconds sendTime_{0};
  std::vector<std::chrono::milliseconds> sendTimes_;
  std::vector<Bytes> reports_;
  std::vector<long> sentAtMs_;
  std::vector<Clock::TimePoint> receivedAt_;
};

using CountingWindow = StillWindow;

class RecordingIni final : public IniStore {
 public:
  std::u16string Read(const std::string&, std::u16string_view, std::u16string_view, std::size_t) override { return {}; }
  bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override {
    std::lock_guard lock(mutex_);
    writes_.push_back({file, IniEntry{std::u16string(section), std::u16string(key), std::u16string(value)}});
    return true;
  }
  bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) override {
    for (const IniEntry& e : entries) Write(file, e.section, e.key, e.value);
    return true;
  }
  struct Written {
    std::string file;
    IniEntry entry;
  };
  std::vector<Written> Writes() {
    std::lock_guard lock(mutex_);
    return writes_;
  }

 private:
  std::mutex mutex_;
  std::vector<Written> writes_;
};

class RecordingLauncher final : public ProgramLauncher {
 public:
  void Start(SystemProgram program) override {
    std::lock_guard lock(mutex_);
    started_.push_back(program);
  }
  std::vector<SystemProgram> Started() {
    std::lock_guard lock(mutex_);
    return started_;
  }

 private:
  std::mutex mutex_;
  std::vector<SystemProgram> started_;
};

}  // namespace tolvar::testing
