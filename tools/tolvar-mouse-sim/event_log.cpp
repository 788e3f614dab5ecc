#include "event_log.h"

#include <cerrno>
#include <cstring>

namespace tolvar::mousesim {

std::string LogLine(std::int64_t microseconds, std::string_view record) {
  char time[32];
  std::snprintf(time, sizeof time, "%lld.%03lld ", static_cast<long long>(microseconds / 1000),
                static_cast<long long>(microseconds % 1000));
  std::string line = time;
  line += record;
  line += '\n';
  return line;
}

EventLog::~EventLog() {
  if (file_) std::fclose(file_);
}

bool EventLog::Open(const std::string& path, std::string& error) {
  std::lock_guard lock(mutex_);
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) {
    error = "cannot write the log file " + path + ": " + std::strerror(errno);
    return false;
  }
  if (file_) std::fclose(file_);
  file_ = file;
  return true;
}

void EventLog::Write(std::string_view record) {
  std::lock_guard lock(mutex_);
  if (!file_) return;
  const auto elapsed = std::chrono::steady_clock::now() - start_;
  const std::string line = LogLine(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count(), record);
  std::fputs(line.c_str(), file_);
  std::fflush(file_);
}

}  // namespace tolvar::mousesim
