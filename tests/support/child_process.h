// Starting the real programs from end-to-end tests: a child process with its
// own environment, a pipe to its standard input, and waits with a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tolvar::testing {

class ChildProcess {
 public:
  ChildProcess(std::vector<std::string> argv, std::map<std::string, std::string> extraEnvironment);
  ~ChildProcess();  // kills the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void WriteLine(const std::string& line);
  // The exit status once the child has ended within `timeout`, else nothing.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  bool Running();
  void Kill();
  // Asks the child to end (SIGTERM) so it can clean up; kills it after `grace`.
  void Terminate(std::chrono::milliseconds grace);
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stdinFd_ = -1;
  std::optional<int> status_;
};

// Waits until `predicate` holds, checking every 20 ms, for at most `timeout`.
template <typename Predicate>
bool WaitUntil(Predicate predicate, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!predicate()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    struct timespec pause {
      0, 20'000'000
    };
    nanosleep(&pause, nullptr);
  }
  return true;
}

std::string ReadWholeFile(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);

// A temporary folder removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tolvar::testing
