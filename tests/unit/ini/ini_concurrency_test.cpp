#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "unit/ini/ini_test_files.h"

namespace tolvar {
namespace {

// Two threads write their own keys of one file, as the interface thread and
// the player thread do, while a third reads a key nobody writes.
TEST(IniConcurrencyTest, ConcurrentWritesOfOneFileLoseNothing) {
  constexpr int kWritesPerThread = 120;
  testing::TempFolder folder;
  const std::string path = folder.Path("config.ini");
  IniFileStore store;
  ASSERT_TRUE(store.Write(path, u"Init", u"Stable", u"yes"));

  std::atomic<bool> writing{true};
  std::atomic<int> badReads{0};
  const auto writer = [&](std::u16string prefix, std::u16string section) {
    for (int i = 0; i < kWritesPerThread; ++i) {
      // Each key twice: first a placeholder, then its final value.
      EXPECT_TRUE(store.Write(path, section, prefix + DecimalText(i), u"x"));
      EXPECT_TRUE(store.Write(path, section, prefix + DecimalText(i), DecimalText(i)));
    }
  };
  std::thread reader([&] {
    while (writing.load()) {
      if (store.Read(path, u"Init", u"Stable", 5) != u"yes") badReads.fetch_add(1);
    }
  });
  std::thread first(writer, u"A", u"Config1");
  std::thread second(writer, u"B", u"Config1");
  first.join();
  second.join();
  writing.store(false);
  reader.join();

  EXPECT_EQ(badReads.load(), 0);
  IniFileStore fresh;
  for (int i = 0; i < kWritesPerThread; ++i) {
    EXPECT_EQ(fresh.Read(path, u"Config1", u"A" + DecimalText(i), 10), DecimalText(i)) << i;
    EXPECT_EQ(fresh.Read(path, u"Config1", u"B" + DecimalText(i), 10), DecimalText(i)) << i;
  }
  EXPECT_EQ(fresh.Read(path, u"Init", u"Stable", 5), u"yes");
}

}  // namespace
}  // namespace tolvar
