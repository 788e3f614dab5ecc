// The soak (tools/soak): the real program driven for a long time against the
// simulated mouse, its private memory, open files and threads printed at
// intervals; it fails when they grow. And the growth rule on known figures.
//   TOLVAR_SOAK_SECONDS         the length of the run (without it the run is skipped)
//   TOLVAR_SOAK_SAMPLE_SECONDS  the interval between two samples (default 30)
//   TOLVAR_RANDOM_SEED          replays the session of a printed seed
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "process_sample.h"
#include "session_driver.h"

namespace tolvar::testing {
namespace {

// Fonts, images and the first dialogs settle in the first minutes; a short
// run leaves out its first tenth.
constexpr double kWarmUpMinutes = 2;

long EnvironmentNumber(const char* name, long otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::stol(value) : otherwise;
}

// Mostly what a long day does: macros played by the mouse's buttons, Apply
// and Save, page switches, recordings, profile exports and imports; unplug
// rarely enough that one start of the program lives several minutes.
const std::map<std::string, int> kSoakWeights = {
    {"move", 40},       {"click", 100},       {"press beside", 5},  {"button function", 20},    {"page", 40},
    {"language", 5},    {"profile file", 30}, {"record", 30},       {"macro edit", 20},         {"event menu", 10},
    {"macro file", 10}, {"keys", 10},         {"mouse button", 60}, {"save apply profile", 50}, {"hide", 5},
    {"unplug", 1},
};

TEST(SoakTest, TheProgramsMemoryFilesAndThreadsDoNotGrow) {
  const long seconds = EnvironmentNumber("TOLVAR_SOAK_SECONDS", 0);
  if (seconds <= 0) GTEST_SKIP() << "set TOLVAR_SOAK_SECONDS (tools/soak does)";
  const std::chrono::seconds interval(EnvironmentNumber("TOLVAR_SOAK_SAMPLE_SECONDS", 30));
  const auto seed = static_cast<std::uint32_t>(EnvironmentNumber("TOLVAR_RANDOM_SEED", std::random_device{}()));
  std::cout << "soak: seed " << seed << ", " << seconds << " s, a sample every " << interval.count() << " s"
            << std::endl;

  RandomSession session(seed);
  session.SetWeights(kSoakWeights);
  std::vector<ProcessSample> samples;
  const auto begin = std::chrono::steady_clock::now();
  session.ObserveEvery(interval, [&](pid_t pid, int start) {
    std::optional<ProcessSample> sample = SampleProcess(pid);
    if (!sample) return;
    sample->minute = std::chrono::duration<double, std::ratio<60>>(std::chrono::steady_clock::now() - begin).count();
    sample->start = start;
    samples.push_back(*sample);
    char line[160];
    std::snprintf(line, sizeof line, "soak: %6.1f min  start %3d  private %7ld KiB  open files %3d  threads %2d",
                  sample->minute, sample->start, sample->privateKiB, sample->openFiles, sample->threads);
    std::cout << line << std::endl;
  });
  try {
    session.Run(std::chrono::seconds(seconds));
  } catch (const SessionFailure& failure) {
    std::cout << "actions until the failure:\n" << session.Counts();
    FAIL() << failure.what();
  }
  std::cout << "soak: seed " << seed << ", actions:\n" << session.Counts() << std::flush;
  const double warmUp = std::min(kWarmUpMinutes, seconds / 600.0);
  for (const std::string& growth : GrowthFound(samples, warmUp)) ADD_FAILURE() << growth;
}

ProcessSample At(double minute, long privateKiB, int openFiles, int threads) {
  return {minute, 1, privateKiB, openFiles, threads};
}

TEST(SoakGrowthTest, SteadyFiguresPassAndEachKindOfGrowthIsFound) {
  const auto steady = [](double minute) { return At(minute, 40000, 20, 6); };
  struct Case {
    const char* what;
    ProcessSample last;
    const char* found;  // the beginning of the one finding, or nullptr
  };
  const Case cases[] = {
      {"steady", steady(60), nullptr},
      {"an open dialog's files and threads", At(60, 41000, 24, 8), nullptr},
      {"memory within a quarter and 4 MiB", At(60, 40000 + 10000 + 4096, 20, 6), nullptr},
      {"a thread per hour", At(60, 40000, 20, 9), "threads grew"},
      {"open files", At(60, 40000, 25, 6), "open files grew"},
      {"memory", At(60, 40000 + 10000 + 4097, 20, 6), "private memory grew"},
  };
  for (const Case& c : cases) {
    std::vector<ProcessSample> samples;
    samples.push_back(At(0.5, 90000, 60, 20));  // the warm-up is not counted
    for (double minute = 2; minute < 60; minute += 1) samples.push_back(steady(minute));
    samples.push_back(c.last);
    const std::vector<std::string> growth = GrowthFound(samples, kWarmUpMinutes);
    if (c.found == nullptr) {
      EXPECT_TRUE(growth.empty()) << c.what << ": " << (growth.empty() ? "" : growth.front());
    } else {
      ASSERT_EQ(growth.size(), 1u) << c.what;
      EXPECT_EQ(growth.front().rfind(c.found, 0), 0u) << c.what << ": " << growth.front();
    }
  }
  EXPECT_FALSE(GrowthFound({steady(3), steady(4)}, kWarmUpMinutes).empty()) << "too few samples pass";
}

TEST(SoakGrowthTest, FiguresAreReadFromTheProcFiles) {
  EXPECT_EQ(PrivateKiBOf("Rss:  9000 kB\nPrivate_Clean:   1200 kB\nPrivate_Dirty:  3400 kB\nSwap: 0 kB\n"), 4600);
  EXPECT_EQ(PrivateKiBOf("Rss:  9000 kB\n"), -1);
  EXPECT_EQ(ThreadsOf("Name:\ttolvar\nThreads:\t7\nVmRSS:\t100 kB\n"), 7);
  const std::optional<ProcessSample> self = SampleProcess(getpid());
  ASSERT_TRUE(self.has_value());
  EXPECT_GT(self->privateKiB, 0);
  EXPECT_GE(self->openFiles, 3);
  EXPECT_GE(self->threads, 1);
}

}  // namespace
}  // namespace tolvar::testing
