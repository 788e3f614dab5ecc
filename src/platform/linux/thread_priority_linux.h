// Real-time scheduling for the worker threads, the way an unprivileged Linux
// desktop program gets it: from RealtimeKit on the system bus, else by
// setting SCHED_FIFO itself when it may, else the lowest nice value allowed.
#pragma once

#include <sys/types.h>

#include <optional>

#include "ports/thread_priority.h"

namespace tolvar {

// The real-time priority asked for: modest, below what audio servers use.
constexpr int kWorkerRealtimePriority = 10;
// CPU time a real-time thread may use without blocking before the kernel
// ends the process: a runaway cannot freeze the desktop.
constexpr long long kRealtimeBudgetMicroseconds = 200000;

// The system calls behind the attempts, one per attempt, so that their
// order can be tested with fakes. Each acts on the calling thread.
class SchedulingCalls {
 public:
  virtual ~SchedulingCalls() = default;
  // RealtimeKit's grant for this thread at `wanted` or below, or nothing.
  virtual std::optional<int> AskRealtimeKit(int wanted) = 0;
  // SCHED_FIFO set directly at `wanted`, or at the lower RLIMIT_RTPRIO, with
  // RLIMIT_RTTIME capped first; the granted priority, or nothing.
  virtual std::optional<int> SetFifo(int wanted) = 0;
  // The lowest nice value RLIMIT_NICE allows, the current one, and setting it.
  virtual int LowestAllowedNice() = 0;
  virtual std::optional<int> CurrentNice() = 0;
  virtual bool SetNice(int nice) = 0;
  // Timers of this thread fire as close to their deadline as possible.
  virtual void LowerTimerSlack() = 0;
};

// The calls as the kernel and the system bus answer them.
class SystemSchedulingCalls final : public SchedulingCalls {
 public:
  std::optional<int> AskRealtimeKit(int wanted) override;
  std::optional<int> SetFifo(int wanted) override;
  int LowestAllowedNice() override;
  std::optional<int> CurrentNice() override;
  bool SetNice(int nice) override;
  void LowerTimerSlack() override;
};

class LinuxThreadPriority final : public ThreadPriority {
 public:
  explicit LinuxThreadPriority(SchedulingCalls& calls) : calls_(calls) {}
  PriorityGrant RaiseCurrentThread() override;

 private:
  SchedulingCalls& calls_;
};

}  // namespace tolvar
