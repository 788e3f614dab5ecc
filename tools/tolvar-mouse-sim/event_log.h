// The simulator's log: one line per event, flushed at once, each beginning
// with the time since the simulator started in milliseconds with three
// decimals and a space ("1234.567 F 07 20 00 00 00 00 00 00").
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace tolvar::mousesim {

// One log line, '\n' included, for an event `microseconds` after the start.
std::string LogLine(std::int64_t microseconds, std::string_view record);

class EventLog {
 public:
  EventLog() = default;
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  // Creates (or empties) the file; false with `error` set when it cannot.
  bool Open(const std::string& path, std::string& error);
  // Safe to call from several threads.
  void Write(std::string_view record);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();  // the simulator's start
};

}  // namespace tolvar::mousesim
