// A session-type D-Bus daemon of a test's own; its address is read from its
// output. It ends with the object.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

namespace tolvar::testing {

class PrivateBus {
 public:
  PrivateBus() {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char program[] = "dbus-daemon";
    char session[] = "--session";
    char print[] = "--print-address=1";
    char nofork[] = "--nofork";
    char* argv[] = {program, session, print, nofork, nullptr};
    if (posix_spawnp(&pid_, program, &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char c = 0;
    while (pid_ > 0 && read(out[0], &c, 1) == 1 && c != '\n') address_ += c;
    close(out[0]);
  }
  ~PrivateBus() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;
  const std::string& Address() const { return address_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace tolvar::testing
