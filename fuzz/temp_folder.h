// A folder of the fuzz target's own, removed when the process ends normally.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace tolvar::fuzz {

class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace tolvar::fuzz
