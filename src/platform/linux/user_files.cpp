#include "platform/linux/user_files.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace tolvar {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) home = entry->pw_dir;
  }
  return home;
}

}  // namespace

PathEnvironment CurrentPathEnvironment(const std::string& moduleDir) {
  return {access(moduleDir.empty() ? "/" : moduleDir.c_str(), W_OK) == 0, Environment("XDG_CONFIG_HOME"), HomeFolder()};
}

std::vector<std::string> SeedUserFiles(const AppPaths& paths) {
  std::vector<std::string> failures;
  if (paths.UserDir.empty()) return failures;
  std::error_code error;
  fs::create_directories(paths.UserDir, error);
  if (error) {
    failures.push_back("cannot create " + paths.UserDir + ": " + error.message());
    return failures;
  }
  for (const SeedCopy& seed : UserFileSeeds(paths)) {
    if (fs::exists(fs::symlink_status(seed.user, error))) continue;
    fs::copy_file(seed.delivered, seed.user, fs::copy_options::skip_existing, error);
    if (!error)
      fs::permissions(seed.user, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
    if (error) failures.push_back("cannot copy " + seed.delivered + " to " + seed.user + ": " + error.message());
  }
  return failures;
}

}  // namespace tolvar
