// A write that fails says why, on real file systems: a small tmpfs filled
// up, one mounted read-only, a folder this user may not write (as root the
// write is made by an unprivileged child), a missing folder, a folder in the
// file's place, a file too large and a value that could not be read back.
// The file is left as it was, and a write once the cause is gone succeeds.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/ini/ini_file_store.h"
#include "unit/ini/ini_test_files.h"

namespace tolvar {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr const char* kBefore = "[Init]\nCurConfig=1\n";

// A tmpfs of 64 KiB on a folder, for as long as it lives; not mounted where
// this process may not mount.
class SmallDisk {
 public:
  explicit SmallDisk(std::string at) : at_(std::move(at)) {
    std::filesystem::create_directories(at_);
    mounted_ = ::mount("tolvar-test", at_.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  std::string Path(const std::string& name) const { return at_ + "/" + name; }

  // Writes a filler file until the disk has no room left.
  void Fill() {
    std::ofstream filler(Path("filler"), std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) filler.flush();
  }
  bool RemountReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tolvar-test", at_.c_str(), "tmpfs", flags, "size=64k") == 0;
  }

 private:
  std::string at_;
  bool mounted_ = false;
};

// The write's outcome, made by a user who is not root when this process is
// root (root may write anything): true, or the reason.
std::optional<WriteError> WriteAsUser(const std::function<bool(IniFileStore&)>& write) {
  IniFileStore store;
  if (::geteuid() != 0) return write(store) ? std::nullopt : std::optional(store.LastWriteError());
  const pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(100);
    ::_exit(write(store) ? 0 : 1 + static_cast<int>(store.LastWriteError()));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 100;
  if (code == 100) ADD_FAILURE() << "the child could not become an unprivileged user";
  return code == 0 ? std::nullopt : std::optional(static_cast<WriteError>(code - 1));
}

class IniWriteErrorTest : public ::testing::Test {
 protected:
  void SetUp() override { ::chmod(folder_.Path("").c_str(), 0755); }

  // A store's write of one key, with why it failed.
  std::optional<WriteError> Write(const std::string& path, std::u16string_view value = u"2") {
    if (store_.Write(path, u"Init", u"CurConfig", value)) return std::nullopt;
    return store_.LastWriteError();
  }

  TempFolder folder_;
  IniFileStore store_;
};

TEST_F(IniWriteErrorTest, AFullDiskIsNamedAndTheFileStaysUntilThereIsRoomAgain) {
  SmallDisk disk(folder_.Path("disk"));
  if (!disk.mounted()) GTEST_SKIP() << "this process may not mount a tmpfs";
  const std::string file = disk.Path("config.ini");
  WriteBytes(file, kBefore);
  disk.Fill();

  EXPECT_EQ(Write(file, std::u16string(8000, u'7')), WriteError::kDiskFull);
  EXPECT_EQ(store_.WriteBatch(disk.Path("new.ini"), {{u"Init", u"CurConfig", std::u16string(8000, u'7')}}), false);
  EXPECT_EQ(store_.LastWriteError(), WriteError::kDiskFull);
  EXPECT_EQ(ReadBytes(file), kBefore);
  for (const auto& entry : std::filesystem::directory_iterator(disk.Path(""))) {
    const std::string name = entry.path().filename();
    EXPECT_TRUE(name == "config.ini" || name == "filler") << "left behind: " << name;
  }

  std::filesystem::remove(disk.Path("filler"));
  EXPECT_EQ(Write(file, std::u16string(8000, u'7')), std::nullopt) << "a later save stores the change";
  EXPECT_EQ(store_.Read(file, u"Init", u"CurConfig", 9000), std::u16string(8000, u'7'));
}

TEST_F(IniWriteErrorTest, AReadOnlyFileSystemIsNamed) {
  SmallDisk disk(folder_.Path("disk"));
  if (!disk.mounted()) GTEST_SKIP() << "this process may not mount a tmpfs";
  const std::string file = disk.Path("config.ini");
  WriteBytes(file, kBefore);
  ASSERT_TRUE(disk.RemountReadOnly(true));

  EXPECT_EQ(Write(file), WriteError::kReadOnlyFileSystem);
  EXPECT_EQ(Write(disk.Path("new.ini")), WriteError::kReadOnlyFileSystem);
  EXPECT_EQ(ReadBytes(file), kBefore);

  ASSERT_TRUE(disk.RemountReadOnly(false));
  EXPECT_EQ(Write(file), std::nullopt);
}

TEST_F(IniWriteErrorTest, EachOtherCauseIsNamedAndNothingChanges) {
  const std::string file = folder_.Path("config.ini");
  WriteBytes(file, kBefore);
  ::chmod(file.c_str(), 0644);
  std::filesystem::create_directory(folder_.Path("folder.ini"));
  {
    // Larger than any file of the program, without taking the space.
    std::ofstream large(folder_.Path("large.ini"), std::ios::binary);
    large.seekp(kMaxIniFileBytes + 1);
    large.put('\n');
  }
  const struct {
    const char* what;
    std::function<std::optional<WriteError>()> write;
    WriteError expected;
  } cases[] = {
      {"a file of root's, written by another user",
       [&] { return WriteAsUser([&](IniFileStore& s) { return s.Write(file, u"Init", u"CurConfig", u"2"); }); },
       WriteError::kPermissionDenied},
      {"a new file in a folder of root's, written by another user",
       [&] { return WriteAsUser([&](IniFileStore& s) { return s.Write(folder_.Path("new.ini"), u"A", u"K", u"1"); }); },
       WriteError::kPermissionDenied},
      {"a missing folder", [&] { return Write(folder_.Path("gone/config.ini")); }, WriteError::kFolderMissing},
      {"a folder in the file's place", [&] { return Write(folder_.Path("folder.ini")); }, WriteError::kNotAFile},
      {"a file too large", [&] { return Write(folder_.Path("large.ini")); }, WriteError::kFileTooLarge},
      {"a value that would not read back", [&] { return Write(file, u"two\nlines"); }, WriteError::kUnstorableText},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.write(), c.expected) << c.what;
    EXPECT_EQ(ReadBytes(file), kBefore) << c.what;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("new.ini")));
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("gone")));
}

TEST_F(IniWriteErrorTest, EachThreadReadsTheReasonOfItsOwnLastWrite) {
  const std::string file = folder_.Path("config.ini");
  WriteBytes(file, kBefore);
  EXPECT_EQ(Write(folder_.Path("gone/config.ini")), WriteError::kFolderMissing);
  std::optional<WriteError> other;
  std::thread([&] { other = Write(file, u"two\nlines"); }).join();
  EXPECT_EQ(other, WriteError::kUnstorableText);
  EXPECT_EQ(store_.LastWriteError(), WriteError::kFolderMissing) << "another thread's failure is its own";
}

TEST(WriteErrorOfErrnoTest, NamesEachErrorNumberItKnows) {
  const struct {
    int error;
    WriteError expected;
  } cases[] = {
      {ENOSPC, WriteError::kDiskFull},          {EDQUOT, WriteError::kDiskFull},
      {EACCES, WriteError::kPermissionDenied},  {EPERM, WriteError::kPermissionDenied},
      {ENOENT, WriteError::kFolderMissing},     {ENOTDIR, WriteError::kFolderMissing},
      {EROFS, WriteError::kReadOnlyFileSystem}, {EISDIR, WriteError::kNotAFile},
      {EFBIG, WriteError::kFileTooLarge},       {EIO, WriteError::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(WriteErrorOfErrno(c.error), c.expected) << c.error;
}

}  // namespace
}  // namespace tolvar
