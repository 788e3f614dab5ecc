// A fake sysfs class folder and /dev folder in a temporary directory, for
// the hidraw backend and what is built on it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "unit/device/hid_descriptor_builder.h"

namespace tolvar {

namespace fs = std::filesystem;

constexpr const char* kMouseHidId = "HID_ID=0003:000018F8:00001686\n";

class FakeHidrawTree : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tolvar-hidraw-" + std::to_string(::getpid()) + "-" +
                                         testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(SysDir());
    fs::create_directories(DevDir());
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string SysDir() const { return (root_ / "sys/class/hidraw").string(); }
  std::string DevDir() const { return (root_ / "dev").string(); }
  std::string Node(const std::string& name) const { return DevDir() + "/" + name; }

  static void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

  // One hidraw entry: its device's uevent text and report descriptor, and a node in /dev.
  void AddNode(const std::string& name, const std::string& uevent,
               const std::optional<std::vector<std::uint8_t>>& descriptor) {
    const fs::path device = fs::path(SysDir()) / name / "device";
    Write(fs::path(SysDir()) / name / "uevent", "MAJOR=243\nMINOR=0\nDEVNAME=" + name + "\n");
    Write(device / "uevent", "DRIVER=hid-generic\n" + uevent + "HID_NAME=Test Device\n");
    if (descriptor) Write(device / "report_descriptor", std::string(descriptor->begin(), descriptor->end()));
    Write(Node(name), "");
  }
  void AddMouse(const std::string& name, const test::Descriptor& descriptor) {
    AddNode(name, kMouseHidId, descriptor.bytes());
  }

  fs::path root_;
};

}  // namespace tolvar
