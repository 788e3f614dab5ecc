// Raising a worker thread's priority as far as an unprivileged process may.
#pragma once

namespace tolvar {

// Lowers the calling thread's nice value to the lowest that RLIMIT_NICE
// allows without privileges. Changes nothing when that is not below the
// current value, and never fails.
void RaiseCurrentThreadPriority();

}  // namespace tolvar
