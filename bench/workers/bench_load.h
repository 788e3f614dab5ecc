// What the macro benchmarks share: busy processes on every core, and the
// gap statistics of a played macro against its schedule.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace tolvar::bench {

// One process per core spinning at normal priority, as a game that keeps
// every core busy; ended when this object goes.
class BusyCores {
 public:
  BusyCores() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores; ++i) {
      const pid_t pid = fork();
      if (pid == 0) {
        volatile unsigned long spin = 0;
        for (;;) spin = spin + 1;
      }
      if (pid > 0) children_.push_back(pid);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // all of them running
  }
  ~BusyCores() {
    for (const pid_t pid : children_) kill(pid, SIGKILL);
    for (const pid_t pid : children_) waitpid(pid, nullptr, 0);
  }
  BusyCores(const BusyCores&) = delete;
  BusyCores& operator=(const BusyCores&) = delete;

 private:
  std::vector<pid_t> children_;
};

struct GapStats {
  double driftMs = -1;      // the whole span less the sum of the scheduled gaps
  double gapErrP99Ms = -1;  // 99th percentile of |gap − scheduled gap|
  double gapErrMaxMs = -1;  // the largest |gap − scheduled gap|
  int shortGaps = -1;       // gaps shorter than scheduled
  double shortestMs = 0;    // the most a gap fell short of its schedule (0 when none did)
};

inline double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()));
  return values[index];
}

// Times in milliseconds of each report as the mouse got it, against the
// scheduled gap before each report after the first. A scheduled gap of 0
// (the next repetition's first event right after the release) is not a
// wait and counts only in the drift.
inline GapStats GapStatsOf(const std::vector<double>& timesMs, const std::vector<int>& scheduledMs) {
  GapStats stats;
  if (timesMs.size() != scheduledMs.size() + 1) return stats;
  std::vector<double> errors;
  double scheduled = 0;
  stats.shortGaps = 0;
  for (std::size_t i = 1; i < timesMs.size(); ++i) {
    scheduled += scheduledMs[i - 1];
    if (scheduledMs[i - 1] == 0) continue;
    const double error = (timesMs[i] - timesMs[i - 1]) - scheduledMs[i - 1];
    errors.push_back(std::abs(error));
    if (error < 0) {
      ++stats.shortGaps;
      stats.shortestMs = std::max(stats.shortestMs, -error);
    }
  }
  stats.driftMs = (timesMs.back() - timesMs.front()) - scheduled;
  stats.gapErrP99Ms = Percentile(errors, 0.99);
  stats.gapErrMaxMs = errors.empty() ? -1 : *std::max_element(errors.begin(), errors.end());
  return stats;
}

}  // namespace tolvar::bench
