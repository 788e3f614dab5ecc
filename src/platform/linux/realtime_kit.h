// The desktop's RealtimeKit service on the system bus: how an unprivileged
// program gets real-time scheduling for one of its threads.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace tolvar {

// Asks the service for real-time priority `wanted` (capped to the service's
// maximum) for thread `thread` of process `process`. The service refuses a
// process whose RLIMIT_RTTIME is unlimited or above its maximum, so the
// limit is lowered to that maximum first; a runaway real-time thread then
// ends the process instead of freezing the desktop. `busAddress` names the
// bus; empty means the system bus. Returns the granted priority, or nothing
// when there is no bus or service or it refuses.
std::optional<int> RequestRealtimeKit(const std::string& busAddress, pid_t process, pid_t thread, int wanted);

// Lowers RLIMIT_RTTIME, soft and hard, to at most `maxMicroseconds`: the CPU
// time a real-time thread may use without blocking before the kernel ends
// the process. False when the limit cannot be read or set.
bool CapRealtimeBudget(long long maxMicroseconds);

}  // namespace tolvar
