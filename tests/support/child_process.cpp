#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace tolvar::testing {

ChildProcess::ChildProcess(std::vector<std::string> argv, std::map<std::string, std::string> extraEnvironment) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  std::map<std::string, std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text(*entry);
    const auto eq = text.find('=');
    if (eq != std::string::npos) environment[text.substr(0, eq)] = text.substr(eq + 1);
  }
  for (auto& [key, value] : extraEnvironment) environment[key] = value;
  std::vector<std::string> envText;
  for (auto& [key, value] : environment) envText.push_back(key + "=" + value);

  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(pipeFds[0], STDIN_FILENO);
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<char*> env;
    for (auto& e : envText) env.push_back(e.data());
    env.push_back(nullptr);
    execve(args[0], args.data(), env.data());
    _exit(127);
  }
  close(pipeFds[0]);
  stdinFd_ = pipeFds[1];
}

ChildProcess::~ChildProcess() {
  if (stdinFd_ >= 0) close(stdinFd_);
  Kill();
}

void ChildProcess::WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  if (stdinFd_ >= 0 && write(stdinFd_, text.data(), text.size()) < 0) {
    close(stdinFd_);
    stdinFd_ = -1;
  }
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return status_;
    }
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    struct timespec pause {
      0, 10'000'000
    };
    nanosleep(&pause, nullptr);
  }
}

bool ChildProcess::Running() { return !WaitForExit(std::chrono::milliseconds(0)).has_value(); }

void ChildProcess::Kill() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    WaitForExit(std::chrono::seconds(5));
  }
}

void ChildProcess::Terminate(std::chrono::milliseconds grace) {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGTERM);
    if (!WaitForExit(grace)) Kill();
  }
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tolvar-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace tolvar::testing
