// The real program killed with SIGKILL at random moments of its start-up,
// which applies the current profile to the simulated mouse and saves it: the
// configuration and macro files always read, and every section of the
// configuration file is whole, holding its old or its new content.
// TOLVAR_CRASH_ROUNDS sets the number of kills (default 8); TOLVAR_CRASH_SEED
// replays a run (the seed is printed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "base/text.h"
#include "platform/ini/ini_document.h"
#include "platform/ini/ini_file_store.h"
#include "support/program_under_test.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The lines of each section by its header; lines before the first section
// under "".
std::map<std::string, std::string> Sections(const std::string& text) {
  std::map<std::string, std::string> sections;
  std::string current;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line[0] == '[') current = line;
    sections[current] += line + "\n";
  }
  return sections;
}

unsigned SeedFromEnvironment() {
  const char* seed = std::getenv("TOLVAR_CRASH_SEED");
  return seed != nullptr ? static_cast<unsigned>(std::stoul(seed)) : std::random_device{}();
}

int RoundsFromEnvironment() {
  const char* rounds = std::getenv("TOLVAR_CRASH_ROUNDS");
  return rounds != nullptr ? std::stoi(rounds) : 8;
}

TEST(CrashSafetyE2eTest, KilledWhileItAppliesAndSavesEveryFileStaysWhole) {
  ProgramUnderTest test;
  const std::string config = test.ConfigPath();
  const std::string macroFile = test.AppDir() + "/Macro_EN.dat";
  const std::string oldConfig = ConfigWithProfile(3, {{"DPI_LEVEL", "2"}, {"MACRO_MODE2", "7"}});
  const std::string oldMacros = ReadWhole(macroFile);
  auto writeOldConfig = [&] { std::ofstream(config, std::ios::binary | std::ios::trunc) << oldConfig; };
  test.StartSimulator();

  // A whole start-up gives the new content, and how long it takes to save.
  writeOldConfig();
  const auto started = Clock::now();
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(22, 60s));
  IniFileStore ini;
  ASSERT_TRUE(WaitUntil([&] { return !ini.Read(config, u"Config3", u"macroNum", 8).empty(); }, 20s));
  const auto saveTime = Clock::now() - started;
  std::this_thread::sleep_for(500ms);
  test.Program().Terminate(5s);
  const std::string newConfig = ReadWhole(config);
  const std::string newMacros = ReadWhole(macroFile);
  ASSERT_NE(newConfig, oldConfig);
  const auto oldSections = Sections(oldConfig);
  const auto newSections = Sections(newConfig);

  const unsigned seed = SeedFromEnvironment();
  std::cout << "crash seed " << seed << " (TOLVAR_CRASH_SEED replays it)\n";
  std::mt19937 random(seed);
  const auto longest = std::chrono::duration_cast<std::chrono::milliseconds>(saveTime * 6 / 5);
  std::uniform_int_distribution<long> moment(0, longest.count());

  int killedOld = 0;
  int killedNew = 0;
  for (int round = 0; round < RoundsFromEnvironment(); ++round) {
    writeOldConfig();
    const auto killAfter = std::chrono::milliseconds(moment(random));
    test.StartProgram();
    std::this_thread::sleep_for(killAfter);
    test.Program().Kill();
    SCOPED_TRACE("round " + std::to_string(round) + ", killed after " + std::to_string(killAfter.count()) + " ms");

    const std::string configNow = ReadWhole(config);
    const IniDocument document(configNow);  // reads as an INI file
    EXPECT_EQ(document.Bytes(), configNow);
    for (const auto& [header, lines] : Sections(configNow)) {
      const auto before = oldSections.find(header);
      const auto after = newSections.find(header);
      const bool isOld = before != oldSections.end() && before->second == lines;
      const bool isNew = after != newSections.end() && after->second == lines;
      EXPECT_TRUE(isOld || isNew) << "section " << header << " is neither old nor new:\n" << lines;
    }
    for (const auto& [header, lines] : oldSections) {
      EXPECT_TRUE(Sections(configNow).count(header) == 1) << "section " << header << " was lost";
    }
    const std::string macrosNow = ReadWhole(macroFile);
    EXPECT_TRUE(macrosNow == oldMacros || macrosNow == newMacros) << "the macro file is neither old nor new";
    (configNow == oldConfig ? killedOld : killedNew)++;
  }
  // A kill in the microseconds between naming a replacement and renaming it
  // leaves the hidden temporary file; it never replaces the file itself.
  int leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(config).parent_path())) {
    if (entry.path().extension() == ".tmp") ++leftovers;
  }
  std::cout << "killed " << killedOld << " times before the first save, " << killedNew << " times after it; "
            << leftovers << " temporary files left\n";
}

}  // namespace
}  // namespace tolvar::testing
