// `tolvar --profile N` and `tolvar --apply`: asks the running program over
// the session bus and waits until it has done it.
#pragma once

namespace tolvar {

// profile 1..5 asks for SetProfile, 0 for Apply. Returns the exit status
// (kRemoteDone, kRemoteNoInstance, kRemoteBadProfile); messages go to stderr.
int RunRemoteCommand(int profile);

}  // namespace tolvar
