#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ini/ini_file_store.h"
#include "unit/ini/ini_test_files.h"

namespace tolvar {
namespace {

using testing::Exists;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class IniWriteTest : public ::testing::Test {
 protected:
  // Writes the entries one call each when there is one, else as one batch.
  bool Store(const std::string& path, const std::vector<IniEntry>& entries) {
    if (entries.size() == 1) return store_.Write(path, entries[0].section, entries[0].key, entries[0].value);
    return store_.WriteBatch(path, entries);
  }

  TempFolder folder_;
  IniFileStore store_;
};

struct WriteCase {
  const char* what;
  std::optional<std::string> before;  // none: the file does not exist
  std::vector<IniEntry> entries;
  std::string after;
};

TEST_F(IniWriteTest, ChangesExactlyTheKeysGiven) {
  const WriteCase cases[] = {
      {"a new file", std::nullopt, {{u"Init", u"CurConfig", u"1"}}, "[Init]\nCurConfig=1\n"},
      {"an empty file", "", {{u"Init", u"CurConfig", u"1"}}, "[Init]\nCurConfig=1\n"},
      {"a new key goes after the section's last key, before its blank and comment lines",
       "; top\n[Init]\nCurConfig = 2 \n; about VER_SEL\n\n[Config1]\nK0=1\n\n",
       {{u"Init", u"VER_SEL", u"1"}},
       "; top\n[Init]\nCurConfig = 2 \nVER_SEL=1\n; about VER_SEL\n\n[Config1]\nK0=1\n\n"},
      {"a key is replaced in place as key=value",
       "[A]\n  k = 5  ; old\nL=x\n",
       {{u"A", u"K", u"7"}},
       "[A]\nK=7\nL=x\n"},
      {"only the first of twin keys is replaced", "[A]\nK=1\nK=2\n", {{u"A", u"K", u"9"}}, "[A]\nK=9\nK=2\n"},
      {"the first of twin sections takes the key",
       "[A]\nK=1\n[B]\n[a]\nL=1\n",
       {{u"a", u"L", u"2"}},
       "[A]\nK=1\nL=2\n[B]\n[a]\nL=1\n"},
      {"a new section goes at the end", "[A]\nK=1\n\n", {{u"B", u"K", u"2"}}, "[A]\nK=1\n\n[B]\nK=2\n"},
      {"a last line without line end gets one before a new key", "[A]\nK=1", {{u"A", u"L", u"2"}}, "[A]\nK=1\nL=2\n"},
      {"a last line without line end gets one before a new section",
       "[A]\nK=1",
       {{u"B", u"K", u"2"}},
       "[A]\nK=1\n[B]\nK=2\n"},
      {"a section header alone", "[A]", {{u"A", u"K", u"1"}}, "[A]\nK=1\n"},
      {"a section without keys gets the key after its header",
       "[A]\n; none\n\n[B]\n",
       {{u"A", u"K", u"1"}},
       "[A]\nK=1\n; none\n\n[B]\n"},
      {"lines before the first section stay", "; only a comment", {{u"A", u"K", u"1"}}, "; only a comment\n[A]\nK=1\n"},
      {"CRLF line ends are kept for new lines",
       "[A]\r\nK=1\r\n\r\n",
       {{u"A", u"L", u"2"}, {u"B", u"M", u"3"}},
       "[A]\r\nK=1\r\nL=2\r\n\r\n[B]\r\nM=3\r\n"},
      {"the first line end decides for new lines", "[A]\r\nK=1\n", {{u"A", u"L", u"2"}}, "[A]\r\nK=1\nL=2\r\n"},
      {"bytes that are no UTF-8 stay as they are",
       "[A]\nN=\xC3(\xFF\nK=1\n",
       {{u"A", u"K", u"2"}},
       "[A]\nN=\xC3(\xFF\nK=2\n"},
      {"a carriage return without a line feed is part of its line, replaced with it",
       "[A]\nK=1\rL=2\nM=3\n",
       {{u"A", u"K", u"5"}},
       "[A]\nK=5\nM=3\n"},
      {"a last line ending in a carriage return keeps it when a line follows (fuzz finding)",
       "[Config1\r",
       {{u"Config1", u"K1", u"1"}},
       "[Config1\r\r\n[Config1]\nK1=1\n"},
      {"so does a key line before a new key", "[A]\nK=1\r", {{u"A", u"L", u"2"}}, "[A]\nK=1\r\r\nL=2\n"},
      {"the same value again changes nothing", "[A]\nK=1\n ; c \n", {{u"A", u"K", u"1"}}, "[A]\nK=1\n ; c \n"},
      {"a batch over several sections applies in order",
       std::nullopt,
       {{u"A", u"K", u"1"}, {u"B", u"K", u"2"}, {u"a", u"k", u"3"}, {u"A", u"L", u"4"}},
       "[A]\nk=3\nL=4\n[B]\nK=2\n"},
      {"values are written as given", "[A]\n", {{u"A", u"K", u" 'q' "}, {u"A", u"E", u""}}, "[A]\nK= 'q' \nE=\n"},
  };
  const std::string path = folder_.Path("config.ini");
  for (const WriteCase& c : cases) {
    ::unlink(path.c_str());
    if (c.before) WriteBytes(path, *c.before);
    EXPECT_TRUE(Store(path, c.entries)) << c.what;
    EXPECT_EQ(ReadBytes(path), c.after) << c.what;
    // What the file holds now reads back through a fresh store as well as through this one.
    IniFileStore fresh;
    const IniEntry& last = c.entries.back();
    EXPECT_EQ(fresh.Read(path, last.section, last.key, 100), store_.Read(path, last.section, last.key, 100)) << c.what;
  }
}

TEST_F(IniWriteTest, WrittenValuesReadBackByTheReadingRules) {
  const std::string path = folder_.Path("config.ini");
  ASSERT_TRUE(store_.WriteBatch(
      path,
      {{u"Config1", u"FIRE_TIME", u"50"}, {u"Config1", u"Name", u"\"Quoted\""}, {u"Config1", u"Padded", u"  x  "}}));
  EXPECT_EQ(store_.Read(path, u"CONFIG1", u"fire_time", 5), u"50");
  EXPECT_EQ(store_.Read(path, u"Config1", u"Name", 20), u"Quoted");
  EXPECT_EQ(store_.Read(path, u"Config1", u"Padded", 20), u"x");
}

struct RejectedCase {
  const char* what;
  IniEntry entry;
};

TEST_F(IniWriteTest, RefusesWhatWouldNotReadBackAndLeavesTheFileAlone) {
  const RejectedCase cases[] = {
      {"'=' in the key", {u"A", u"K=1", u"2"}},
      {"a line feed in the value", {u"A", u"K", u"1\n[B]"}},
      {"a carriage return in the value", {u"A", u"K", u"1\r"}},
      {"a line feed in the key", {u"A", u"K\nL", u"1"}},
      {"a line feed in the section", {u"A\nB", u"K", u"1"}},
      {"an empty key", {u"A", u"", u"1"}},
      {"an empty section", {u"", u"K", u"1"}},
      {"']' in the section", {u"A]B", u"K", u"1"}},
      {"a key that reads as a comment", {u"A", u";K", u"1"}},
      {"a key that reads as a section", {u"A", u"[K", u"1"}},
      {"blanks around the key", {u"A", u" K", u"1"}},
      {"blanks around the section", {u"A ", u"K", u"1"}},
  };
  const std::string path = folder_.Path("config.ini");
  const std::string before = "[A]\nK=1\n";
  WriteBytes(path, before);
  for (const RejectedCase& c : cases) {
    EXPECT_FALSE(store_.Write(path, c.entry.section, c.entry.key, c.entry.value)) << c.what;
    EXPECT_FALSE(store_.WriteBatch(path, {{u"A", u"L", u"2"}, c.entry})) << c.what;
    EXPECT_EQ(ReadBytes(path), before) << c.what;
  }
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"config.ini"});
}

TEST_F(IniWriteTest, AWriteIntoAMissingFolderFailsAndCreatesNothing) {
  EXPECT_FALSE(store_.Write(folder_.Path("config/config.ini"), u"Init", u"CurConfig", u"1"));
  EXPECT_FALSE(store_.WriteBatch(folder_.Path("a/b/config.ini"), {{u"Init", u"CurConfig", u"1"}}));
  EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(IniWriteTest, AFileThatMayNotBeWrittenStaysAsItIs) {
  const std::string path = folder_.Path("config.ini");
  WriteBytes(path, "[A]\nK=1\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(store_.Write(path, u"A", u"K", u"2"));
  EXPECT_EQ(ReadBytes(path), "[A]\nK=1\n");
  EXPECT_FALSE(store_.Write(folder_.Path(""), u"A", u"K", u"2")) << "a folder is no file";
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"config.ini"});
}

TEST_F(IniWriteTest, KeepsPermissionBitsAndLeavesNoTemporaryFiles) {
  const std::string path = folder_.Path("config.ini");
  WriteBytes(path, "[A]\nK=1\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(store_.Write(path, u"A", u"K", i % 2 ? u"1" : u"2"));
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"config.ini"});

  const std::string created = folder_.Path("new.ini");
  ASSERT_TRUE(store_.Write(created, u"A", u"K", u"1"));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_EQ(::stat(created.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0666u & ~mask) << "a new file is created as any program creates one";
}

TEST_F(IniWriteTest, AWriteThroughALinkChangesTheFileItPointsTo) {
  const std::string target = folder_.Path("real.ini");
  const std::string link = folder_.Path("config.ini");
  WriteBytes(target, "[A]\nK=1\n");
  ASSERT_EQ(::symlink("real.ini", link.c_str()), 0);
  ASSERT_TRUE(store_.Write(link, u"A", u"K", u"2"));
  struct stat status {};
  ASSERT_EQ(::lstat(link.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(ReadBytes(target), "[A]\nK=2\n");
  EXPECT_EQ(store_.Read(link, u"A", u"K", 5), u"2");

  const std::string dangling = folder_.Path("dangling.ini");
  ASSERT_EQ(::symlink("nowhere/x.ini", dangling.c_str()), 0);
  EXPECT_FALSE(store_.Write(dangling, u"A", u"K", u"1"));
  EXPECT_FALSE(Exists(folder_.Path("nowhere")));
}

}  // namespace
}  // namespace tolvar
