#include "platform/linux/program_launcher_linux.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <thread>

extern char** environ;

namespace tolvar {

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Waits for the child on a thread of its own, which blocks without CPU
// until the child ends, so no zombie is left and no signal handler of the
// process is touched.
void ReapWhenDone(pid_t pid) {
  std::thread([pid] {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

class SpawnAttributes {
 public:
  SpawnAttributes() {
    posix_spawnattr_init(&attributes_);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setsigdefault(&attributes_, &all);
    posix_spawnattr_setpgroup(&attributes_, 0);
    posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    posix_spawn_file_actions_init(&actions_);
    posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
  }
  ~SpawnAttributes() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;

  const posix_spawnattr_t* attributes() const { return &attributes_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attributes_;
  posix_spawn_file_actions_t actions_;
};

}  // namespace

std::string FindOnPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    if (folder.empty()) continue;  // an empty entry would mean the current folder
    std::string candidate = std::string(folder) + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return {};
}

LinuxProgramLauncher::LinuxProgramLauncher(ProgramCandidates candidates) : candidates_(std::move(candidates)) {}

void LinuxProgramLauncher::Start(SystemProgram program) {
  StartFirst(program == SystemProgram::Calculator ? candidates_.calculator : candidates_.terminal);
}

pid_t LinuxProgramLauncher::StartFirst(const std::vector<std::string>& candidates) {
  for (const std::string& name : candidates) {
    const std::string path = FindOnPath(name);
    if (path.empty()) continue;
    const SpawnAttributes spawn;
    std::string argv0 = name;
    char* argv[] = {argv0.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, path.c_str(), spawn.actions(), spawn.attributes(), argv, environ) != 0) return -1;
    ReapWhenDone(pid);
    return pid;
  }
  return -1;
}

}  // namespace tolvar
