#include "platform/linux/thread_priority_linux.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace tolvar {

void RaiseCurrentThreadPriority() {
  // On Linux the nice value belongs to each thread; an unprivileged thread
  // may go down to 20 − RLIMIT_NICE.
  struct rlimit limit {};
  if (getrlimit(RLIMIT_NICE, &limit) != 0) return;
  const rlim_t allowed = limit.rlim_cur == RLIM_INFINITY ? 40 : limit.rlim_cur;
  const int lowest = 20 - static_cast<int>(allowed > 40 ? 40 : allowed);
  const id_t thread = static_cast<id_t>(gettid());
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, thread);
  if (errno != 0 || lowest >= current) return;
  setpriority(PRIO_PROCESS, thread, lowest);
}

}  // namespace tolvar
