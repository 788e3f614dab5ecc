#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "unit/ini/ini_test_files.h"

namespace tolvar {
namespace {

constexpr int kKeys = 20;
const std::u16string kSection = u"Config1";
const std::u16string kMacro(3192, u'0');  // a long line that must survive whole

std::u16string KeyName(int k) { return u"K" + DecimalText(k); }

// The file as the writer leaves it after every completed write: key k holds
// values[k], then the macro line.
std::string ExpectedFile(const std::vector<int>& values) {
  std::string text = "[Config1]\n";
  for (int k = 0; k < kKeys; ++k) text += "K" + std::to_string(k) + "=" + std::to_string(values[k]) + "\n";
  return text + "M=" + Utf16ToUtf8(kMacro) + "\n";
}

// Round r sets every key to r, one key per call on even rounds and all keys
// in one batch on odd ones. Says so through `ready` after its first round.
[[noreturn]] void WriteForever(const std::string& path, int ready) {
  IniFileStore store;
  for (int round = 1;; ++round) {
    if (round % 2 == 1) {
      std::vector<IniEntry> entries;
      for (int k = 0; k < kKeys; ++k) entries.push_back({kSection, KeyName(k), DecimalText(round)});
      if (!store.WriteBatch(path, entries)) ::_exit(2);
    } else {
      for (int k = 0; k < kKeys; ++k) {
        if (!store.Write(path, kSection, KeyName(k), DecimalText(round))) ::_exit(2);
      }
    }
    if (round == 1) {
      const char signal = 1;
      if (::write(ready, &signal, 1) != 1) ::_exit(3);
    }
  }
}

TEST(IniCrashTest, AWriterKilledAtAnyMomentLeavesAWholeFile) {
  testing::TempFolder folder;
  const std::string path = folder.Path("config.ini");
  testing::WriteBytes(path, ExpectedFile(std::vector<int>(kKeys, 0)));

  for (int attempt = 0; attempt < 30; ++attempt) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeEnds[0]);
      WriteForever(path, pipeEnds[1]);
    }
    ::close(pipeEnds[1]);
    char signal = 0;
    const bool started = ::read(pipeEnds[0], &signal, 1) == 1;
    ::close(pipeEnds[0]);
    // Kill at a different point of the series each time.
    std::this_thread::sleep_for(std::chrono::microseconds(977 * (attempt % 13)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(started) << "the writer failed before its first round, status " << status;
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;

    // Keys are written in order, so a file from the middle of a round holds
    // the new round in its first keys and the one before in the rest.
    IniFileStore reader;
    std::vector<int> values;
    for (int k = 0; k < kKeys; ++k) values.push_back(ParseDecimal(reader.Read(path, kSection, KeyName(k), 12)));
    for (int k = 1; k < kKeys; ++k) {
      EXPECT_TRUE(values[k] == values[0] || values[k] == values[0] - 1) << "attempt " << attempt << " key " << k;
      EXPECT_LE(values[k], values[k - 1]) << "attempt " << attempt << " key " << k;
    }
    EXPECT_GE(values[kKeys - 1], 1) << "attempt " << attempt;
    ASSERT_EQ(testing::ReadBytes(path), ExpectedFile(values)) << "attempt " << attempt;
  }
  // A replacement has a name only between being synced and being renamed,
  // microseconds of each write: kills almost never leave one behind (a
  // replacement named from the start was left by nearly every kill).
  int leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
    if (entry.path().filename() != "config.ini") ++leftovers;
  }
  EXPECT_LE(leftovers, 3);
}

}  // namespace
}  // namespace tolvar
