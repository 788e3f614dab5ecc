#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ini/ini_file_store.h"
#include "unit/ini/ini_test_files.h"

namespace tolvar {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

const std::string kOriginal = "[A]\nK=1\n";

// Rewrites the file in place (same inode), then puts its old time stamps back.
void RewriteKeepingTimes(const std::string& path, const std::string& bytes) {
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  WriteBytes(path, bytes);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct ChangeCase {
  const char* what;
  std::function<void(const std::string& path)> change;
  std::u16string expected;
};

std::vector<ChangeCase> ChangesBehindTheStoresBack() {
  return {
      {"rewritten longer", [](const std::string& p) { WriteBytes(p, "[A]\nK=22\n"); }, u"22"},
      {"rewritten in place, same size", [](const std::string& p) { WriteBytes(p, "[A]\nK=2\n"); }, u"2"},
      {"same size, time stamps put back", [](const std::string& p) { RewriteKeepingTimes(p, "[A]\nK=3\n"); }, u"3"},
      {"replaced by another file, same size",
       [](const std::string& p) {
         WriteBytes(p + ".new", "[A]\nK=4\n");
         ASSERT_EQ(::rename((p + ".new").c_str(), p.c_str()), 0);
       },
       u"4"},
      {"deleted", [](const std::string& p) { ::unlink(p.c_str()); }, u""},
      {"deleted and made anew",
       [](const std::string& p) {
         ::unlink(p.c_str());
         WriteBytes(p, "[A]\nK=5\n");
       },
       u"5"},
  };
}

enum class Warmed { kByRead, kByWrite };

// Brings every file into the store's cache, by a read or by a write of its own.
void Warm(IniFileStore& store, const std::string& path, Warmed how) {
  if (how == Warmed::kByRead) {
    ASSERT_EQ(store.Read(path, u"A", u"K", 10), u"1");
  } else {
    ASSERT_TRUE(store.Write(path, u"A", u"K", u"1"));
  }
}

TEST(IniCacheTest, ReadsSeeChangesMadeBehindTheStoresBack) {
  for (const Warmed how : {Warmed::kByRead, Warmed::kByWrite}) {
    for (const ChangeCase& c : ChangesBehindTheStoresBack()) {
      TempFolder folder;
      const std::string path = folder.Path("config.ini");
      WriteBytes(path, how == Warmed::kByRead ? kOriginal : "[A]\nK=0\n");
      IniFileStore store;
      Warm(store, path, how);
      c.change(path);
      EXPECT_EQ(store.Read(path, u"A", u"K", 10), c.expected) << c.what;
    }
  }
}

// Files whose time stamps lie in the past are trusted by their identity alone;
// every change must still alter it.
TEST(IniCacheTest, FilesUnchangedForLongAreStillRevalidated) {
  TempFolder folder;
  const std::vector<ChangeCase> cases = ChangesBehindTheStoresBack();
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    paths.push_back(folder.Path("file" + std::to_string(i) + ".ini"));
    WriteBytes(paths.back(), kOriginal);
  }
  std::this_thread::sleep_for(IniFileStore::kTimeStampSlack + std::chrono::milliseconds(200));
  IniFileStore store;
  for (const std::string& path : paths) Warm(store, path, Warmed::kByRead);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    cases[i].change(paths[i]);
    EXPECT_EQ(store.Read(paths[i], u"A", u"K", 10), cases[i].expected) << cases[i].what;
  }
}

TEST(IniCacheTest, AWriteBuildsOnTheNewestContent) {
  TempFolder folder;
  const std::string path = folder.Path("config.ini");
  IniFileStore store;
  ASSERT_TRUE(store.Write(path, u"A", u"K", u"1"));
  WriteBytes(path, "[A]\nK=1\nOther=9\n");  // someone else adds a key
  ASSERT_TRUE(store.Write(path, u"A", u"K", u"2"));
  EXPECT_EQ(testing::ReadBytes(path), "[A]\nK=2\nOther=9\n");
}

}  // namespace
}  // namespace tolvar
