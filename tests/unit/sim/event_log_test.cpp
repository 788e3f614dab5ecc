#include "event_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace tolvar::mousesim {
namespace {

TEST(LogLineTest, TimeInMillisecondsWithThreeDecimals) {
  const struct {
    std::int64_t microseconds;
    const char* line;
  } cases[] = {{1234567, "1234.567 F 07 20\n"},
               {5, "0.005 F 07 20\n"},
               {0, "0.000 F 07 20\n"},
               {1000, "1.000 F 07 20\n"},
               {999999, "999.999 F 07 20\n"}};
  for (const auto& c : cases) EXPECT_EQ(LogLine(c.microseconds, "F 07 20"), c.line);
}

TEST(EventLogTest, WritesEachRecordAsAFlushedLine) {
  const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "event_log_test.log";
  EventLog log;
  std::string error;
  ASSERT_TRUE(log.Open(path.string(), error)) << error;
  log.Write("PLUG");
  // Read while the log is still open: every line is already in the file.
  std::ifstream in(path);
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_THAT(line, ::testing::MatchesRegex("[0-9]+\\.[0-9][0-9][0-9] PLUG"));
}

TEST(EventLogTest, LinesFromSeveralThreadsStayWhole) {
  const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "event_log_threads.log";
  {
    EventLog log;
    std::string error;
    ASSERT_TRUE(log.Open(path.string(), error)) << error;
    std::vector<std::thread> threads;
    for (const char* record : {"KEYS 04 00 00 00 00 00", "BUTTONS FE"}) {
      threads.emplace_back([&log, record] {
        for (int i = 0; i < 200; ++i) log.Write(record);
      });
    }
    for (auto& thread : threads) thread.join();
  }
  std::ifstream in(path);
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    ++lines;
    EXPECT_THAT(line, ::testing::MatchesRegex("[0-9]+\\.[0-9][0-9][0-9] (KEYS 04 00 00 00 00 00|BUTTONS FE)"));
  }
  EXPECT_EQ(lines, 400);
}

TEST(EventLogTest, UnwritableFileIsAClearError) {
  EventLog log;
  std::string error;
  EXPECT_FALSE(log.Open("/nonexistent-folder/sim.log", error));
  EXPECT_THAT(error, ::testing::HasSubstr("cannot write the log file /nonexistent-folder/sim.log"));
}

}  // namespace
}  // namespace tolvar::mousesim
