// A seeded random session with the real program (see session_driver.h),
// and the checks of the written files on files with known faults.
//   TOLVAR_RANDOM_SEED     replays the session of a printed seed
//   TOLVAR_RANDOM_SECONDS  its length (default 60 s)
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "session_driver.h"
#include "support/child_process.h"
#include "written_files.h"

namespace tolvar::testing {
namespace {

constexpr long kDefaultSeconds = 60;

long EnvironmentNumber(const char* name, long otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::stol(value) : otherwise;
}

TEST(RandomSessionTest, TheProgramSurvivesARandomSession) {
  const auto seed = static_cast<std::uint32_t>(EnvironmentNumber("TOLVAR_RANDOM_SEED", std::random_device{}()));
  const std::chrono::seconds duration(EnvironmentNumber("TOLVAR_RANDOM_SECONDS", kDefaultSeconds));
  std::cout << "random session: seed " << seed << ", " << duration.count() << " s" << std::endl;
  RandomSession session(seed);
  try {
    session.Run(duration);
  } catch (const SessionFailure& failure) {
    std::cout << "actions until the failure:\n" << session.Counts();
    FAIL() << failure.what();
  }
  std::cout << "random session: seed " << seed << ", " << duration.count() << " s, actions:\n"
            << session.Counts() << std::flush;
}

// The checker must see the faults it is there for, and pass the files as
// they are delivered.
class WrittenFileCheckerTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = folder_.Path() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  std::string Delivered(const std::string& name) const { return std::string(TOLVAR_BIN_DIR) + "/" + name; }

  TempDir folder_;
  WrittenFileChecker checker_{Delivered("skins/config/config.ini")};
};

TEST_F(WrittenFileCheckerTest, TheDeliveredFilesPass) {
  EXPECT_EQ(checker_.CheckConfigFile(Delivered("skins/config/config.ini")), std::vector<std::string>{});
  EXPECT_EQ(checker_.CheckMacroFile(Delivered("Macro_EN.dat")), std::vector<std::string>{});
  EXPECT_EQ(checker_.CheckMacroFile(Delivered("Macro_CN.dat")), std::vector<std::string>{});
}

TEST_F(WrittenFileCheckerTest, ABadValueOrSectionIsFound) {
  const std::string delivered = ReadWholeFile(Delivered("skins/config/config.ini"));
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = delivered;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"a DPI step past the table", replaced("DPI_SET0=2", "DPI_SET0=12")},
      {"a fire time past its end", replaced("FIRE_TIME=50", "FIRE_TIME=301")},
      {"no cycle colour", replaced("CYC_7COL_EN=127", "CYC_7COL_EN=0")},
      {"leading zeros", replaced("LED_TYPE=1", "LED_TYPE=01")},
      {"no number", replaced("USB_SPEED=2", "USB_SPEED=")},
      {"a button code no popup offers", replaced("K1=2", "K1=53")},
      {"a profile 0", delivered + "[Config0]\nK0=1\n"},
      {"a changed reset section", replaced("[CfgReset2]\nK0=1", "[CfgReset2]\nK0=2")},
      {"a current profile 0", replaced("CurConfig=1", "CurConfig=0")},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(checker_.CheckConfigFile(Write(std::string(c.what) + ".ini", c.text)).empty()) << c.what;
  }
}

TEST_F(WrittenFileCheckerTest, ABadMacroIsFound) {
  const std::string delivered = ReadWholeFile(Delivered("Macro_EN.dat"));
  const std::size_t text = delivered.find("\n0=") + 3;
  ASSERT_NE(text, std::string::npos + 3);
  const auto field = [&](int index, const std::string& value) {
    std::string changed = delivered;
    return changed.replace(text + static_cast<std::size_t>(index) * 3, 3, value);
  };
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"a field above 255", field(0, "256")},
      {"an unterminated name", field(39, "065")},
      {"a mode both repeating and held", field(40, "003")},
      {"a macro count past the table", "[Macros]\nmacroNum=13\n"},
      {"a cut macro", delivered.substr(0, text + 30) + "\n"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(checker_.CheckMacroFile(Write(std::string(c.what) + ".dat", c.text)).empty()) << c.what;
  }
}

}  // namespace
}  // namespace tolvar::testing
