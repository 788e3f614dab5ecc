// What a long run watches of a process: its private memory, its open files
// and its threads, read from /proc; and the rule that says they grew.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tolvar::testing {

struct ProcessSample {
  double minute = 0;    // since the run began
  int start = 0;        // which start of the program (1 for the first)
  long privateKiB = 0;  // Private_Clean + Private_Dirty of smaps_rollup
  int openFiles = 0;    // entries of /proc/<pid>/fd
  int threads = 0;      // Threads of /proc/<pid>/status
};

// The process's figures now, or nothing when it has gone.
std::optional<ProcessSample> SampleProcess(pid_t pid);

// The same figures read from the texts of smaps_rollup and status.
long PrivateKiBOf(const std::string& smapsRollup);
int ThreadsOf(const std::string& status);

// Why the samples show growth, or empty when they do not. The first
// `warmUp` minutes are left out (fonts, images, the first dialogs); then
// the highest figures of the last quarter of the run are compared with the
// highest of the rest: threads may rise by no more than 2 and open files by
// no more than 4 (what an open dialog holds), private memory by no more
// than a quarter and 4 MiB.
std::vector<std::string> GrowthFound(const std::vector<ProcessSample>& samples, double warmUpMinutes);

}  // namespace tolvar::testing
