#include "platform/linux/thread_priority_linux.h"

#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/realtime_kit.h"

namespace tolvar {

namespace {

constexpr int kHighestNiceLimit = 40;  // RLIMIT_NICE 40 allows nice −20

bool SetFifoPriority(int priority) {
  // Children (the programs the player starts) get normal scheduling.
  const sched_param param{.sched_priority = priority};
  return sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0;
}

}  // namespace

std::optional<int> SystemSchedulingCalls::AskRealtimeKit(int wanted) {
  return RequestRealtimeKit({}, getpid(), gettid(), wanted);
}

std::optional<int> SystemSchedulingCalls::SetFifo(int wanted) {
  if (!CapRealtimeBudget(kRealtimeBudgetMicroseconds)) return std::nullopt;
  if (SetFifoPriority(wanted)) return wanted;
  // Without the capability, RLIMIT_RTPRIO bounds the priority.
  struct rlimit limit {};
  if (getrlimit(RLIMIT_RTPRIO, &limit) != 0 || limit.rlim_cur < 1) return std::nullopt;
  const int allowed = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, static_cast<rlim_t>(wanted)));
  if (allowed < wanted && SetFifoPriority(allowed)) return allowed;
  return std::nullopt;
}

int SystemSchedulingCalls::LowestAllowedNice() {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_NICE, &limit) != 0) return 20;
  const rlim_t allowed = std::min<rlim_t>(limit.rlim_cur, kHighestNiceLimit);
  return 20 - static_cast<int>(allowed);
}

std::optional<int> SystemSchedulingCalls::CurrentNice() {
  // On Linux the nice value belongs to each thread.
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  if (errno != 0) return std::nullopt;
  return current;
}

bool SystemSchedulingCalls::SetNice(int nice) {
  return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) == 0;
}

void SystemSchedulingCalls::LowerTimerSlack() {
  // 1 ns: the smallest slack; 0 would restore the default.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

PriorityGrant LinuxThreadPriority::RaiseCurrentThread() {
  calls_.LowerTimerSlack();
  if (const auto granted = calls_.AskRealtimeKit(kWorkerRealtimePriority)) {
    return {PriorityGrant::Kind::RealtimeKit, *granted};
  }
  if (const auto granted = calls_.SetFifo(kWorkerRealtimePriority)) {
    return {PriorityGrant::Kind::Fifo, *granted};
  }
  const int lowest = calls_.LowestAllowedNice();
  const std::optional<int> current = calls_.CurrentNice();
  if (!current) return {};
  if (lowest < *current && calls_.SetNice(lowest)) return {PriorityGrant::Kind::Nice, lowest};
  return {*current < 0 ? PriorityGrant::Kind::Nice : PriorityGrant::Kind::Normal, *current};
}

}  // namespace tolvar
