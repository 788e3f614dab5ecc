// What another local user can reach: the single-instance lock and socket
// lie in a folder only the user may enter, and the socket refuses another
// user; the udev rule opens this mouse's hidraw nodes only. The checks that
// need a second user run when the tests run as root, in a child process that
// becomes "nobody".
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>

#include "platform/qt/single_instance.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

// Runs `check` as another user; its exit code is the result. Skips as not root.
int AsAnotherUser(const std::function<bool()>& check) {
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

bool CanConnect(const std::string& socketPath) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

mode_t ModeOf(const std::string& path) {
  struct stat facts {};
  EXPECT_EQ(lstat(path.c_str(), &facts), 0) << path;
  return facts.st_mode;
}

class SingleInstanceAccessTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() == nullptr) {
      static int argc = 1;
      static char name[] = "local_access_tests";
      static char* argv[] = {name, nullptr};
      static QCoreApplication app(argc, argv);
    }
  }
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tolvar-access-" + std::to_string(getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
    // The other user must be able to walk up to the folders under test.
    fs::permissions(root_, fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    saved_runtime_ = qgetenv("XDG_RUNTIME_DIR");
    saved_tmp_ = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(root_.string()));
  }
  void TearDown() override {
    qputenv("XDG_RUNTIME_DIR", saved_runtime_);
    if (saved_tmp_.isNull())
      qunsetenv("TMPDIR");
    else
      qputenv("TMPDIR", saved_tmp_);
    fs::remove_all(root_);
  }

  fs::path root_;
  QByteArray saved_runtime_;
  QByteArray saved_tmp_;
};

TEST_F(SingleInstanceAccessTest, TheLockAndTheSocketAreTheUsersAlone) {
  const fs::path runtime = root_ / "runtime";
  fs::create_directory(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));

  SingleInstance first;
  ASSERT_TRUE(first.Acquire());
  EXPECT_EQ(first.Folder().toStdString(), runtime.string());
  EXPECT_EQ(ModeOf(runtime.string()) & 077, 0u);
  const std::string socketPath = first.SocketPath().toStdString();
  EXPECT_TRUE(S_ISSOCK(ModeOf(socketPath)));
  EXPECT_EQ(ModeOf(socketPath) & 077, 0u);
  EXPECT_TRUE(CanConnect(socketPath));

  SingleInstance second;
  EXPECT_FALSE(second.Acquire());

  if (geteuid() != 0) GTEST_SKIP() << "the other user's view needs root to become another user";
  EXPECT_EQ(AsAnotherUser([&] { return !CanConnect(socketPath); }), 0) << "another user reached the socket";
  EXPECT_EQ(AsAnotherUser([&] { return !std::ofstream(runtime / "CTolvarApp.lock", std::ios::app).is_open(); }), 0)
      << "another user could write the lock";
}

// The lock file an instance leaves behind when it is killed holds no lock:
// the next start runs, and holds the lock until it ends.
TEST_F(SingleInstanceAccessTest, ALockFileLeftByAKilledInstanceDoesNotBlock) {
  const fs::path runtime = root_ / "runtime";
  fs::create_directory(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
  std::ofstream(runtime / "CTolvarApp.lock") << "4242\ntolvar\nsomehost\n";

  {
    SingleInstance next;
    ASSERT_TRUE(next.Acquire());
    SingleInstance second;
    EXPECT_FALSE(second.Acquire());
  }
  SingleInstance afterwards;
  EXPECT_TRUE(afterwards.Acquire());
}

TEST_F(SingleInstanceAccessTest, WithoutARuntimeFolderTheUsersOwnFolderIsMade) {
  qunsetenv("XDG_RUNTIME_DIR");
  SingleInstance instance;
  ASSERT_TRUE(instance.Acquire());
  ASSERT_FALSE(instance.Folder().isEmpty());
  const std::string folder = instance.Folder().toStdString();
  EXPECT_EQ(folder.rfind(root_.string(), 0), 0u) << folder;
  EXPECT_TRUE(S_ISDIR(ModeOf(folder)));
  EXPECT_EQ(ModeOf(folder) & 077, 0u);
}

// Another user who made the user's folders in the shared temporary folder
// first neither gets the lock nor keeps the program from starting.
TEST_F(SingleInstanceAccessTest, FoldersAnotherUserMadeAreNotUsed) {
  if (geteuid() != 0) GTEST_SKIP() << "making another user's folders needs root";
  qunsetenv("XDG_RUNTIME_DIR");
  for (const std::string name : {"runtime-root", "tolvar-0"}) {
    const fs::path planted = root_ / name;
    fs::create_directory(planted);
    fs::permissions(planted, fs::perms::all);
    ASSERT_EQ(chown(planted.c_str(), kNobody, kNobody), 0);
  }
  SingleInstance instance;
  EXPECT_TRUE(instance.Acquire());
  if (!instance.Folder().isEmpty()) {
    struct stat facts {};
    ASSERT_EQ(lstat(instance.Folder().toStdString().c_str(), &facts), 0);
    EXPECT_EQ(facts.st_uid, getuid());
    EXPECT_EQ(facts.st_mode & 077, 0u);
  }
  for (const std::string name : {"runtime-root", "tolvar-0"}) EXPECT_TRUE(fs::is_empty(root_ / name)) << name;
}

// The udev rule names the mouse by vendor and product on every line that
// grants access, and grants nothing to hidraw devices at large.
TEST(UdevRule, GrantsThisMouseOnly) {
  std::ifstream in(std::string(TOLVAR_SOURCE_DIR) + "/packaging/70-tolvar.rules");
  ASSERT_TRUE(in.is_open());
  int granting = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const bool grants = line.find("uaccess") != std::string::npos || line.find("MODE") != std::string::npos ||
                        line.find("GROUP") != std::string::npos || line.find("OWNER") != std::string::npos;
    if (!grants) continue;
    ++granting;
    EXPECT_NE(line.find(R"(ATTRS{idVendor}=="18f8")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(ATTRS{idProduct}=="1686")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(SUBSYSTEM=="hidraw")"), std::string::npos) << line;
    EXPECT_EQ(line.find("MODE"), std::string::npos) << "access for every user: " << line;
  }
  EXPECT_EQ(granting, 1);
}

}  // namespace
}  // namespace tolvar
