#include "support/program_under_test.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tolvar::testing {

namespace {

bool IsHexByte(const std::string& word) {
  return word.size() == 2 && std::isxdigit(static_cast<unsigned char>(word[0])) &&
         std::isxdigit(static_cast<unsigned char>(word[1]));
}

}  // namespace

std::vector<SimRecord> ReadSimLog(const std::string& path) {
  std::vector<SimRecord> records;
  for (const std::string& line : ReadLines(path)) {
    std::istringstream words(line);
    SimRecord record;
    record.text = line;
    if (!(words >> record.timeMs >> record.kind)) continue;
    for (std::string word; words >> word;) {
      if (IsHexByte(word)) record.bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    records.push_back(std::move(record));
  }
  return records;
}

std::vector<SimRecord> FeatureReports(const std::vector<SimRecord>& records) {
  std::vector<SimRecord> reports;
  for (const auto& r : records) {
    if (r.kind == "F") reports.push_back(r);
  }
  return reports;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char buffer[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%s%02X", text.empty() ? "" : " ", b);
    text += buffer;
  }
  return text;
}

ProgramUnderTest::ProgramUnderTest()
    : appDir_(root_.Path() + "/app"), runtimeDir_(root_.Path() + "/run"), homeDir_(root_.Path() + "/home") {
  const fs::path bin = TOLVAR_BIN_DIR;
  fs::create_directories(appDir_);
  fs::create_directories(homeDir_ + "/.config");
  fs::create_directory(runtimeDir_);
  fs::permissions(runtimeDir_, fs::perms::owner_all, fs::perm_options::replace);
  fs::copy_file(bin / "tolvar", fs::path(appDir_) / "tolvar");
  fs::copy(bin / "skins", fs::path(appDir_) / "skins", fs::copy_options::recursive);
  for (const char* file : {"Macro_EN.dat", "Macro_CN.dat", "constMacro.dat"}) {
    fs::copy_file(bin / file, fs::path(appDir_) / file);
  }
}

ProgramUnderTest::~ProgramUnderTest() {
  program_.reset();
  simulator_.reset();
}

void ProgramUnderTest::StartSimulator() {
  simulator_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{std::string(TOLVAR_BIN_DIR) + "/tolvar-mouse-sim", "--socket", SimSocketPath(),
                               "--log", SimLogPath()},
      std::map<std::string, std::string>{});
  if (!WaitUntil([&] { return fs::exists(SimSocketPath()); }, std::chrono::seconds(10))) {
    throw std::runtime_error("the simulator did not start");
  }
}

void ProgramUnderTest::StartProgram(bool withSimulator, std::vector<std::string> arguments,
                                    std::map<std::string, std::string> environment) {
  std::vector<std::string> argv{appDir_ + "/tolvar"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::map<std::string, std::string> env{
      {"XDG_RUNTIME_DIR", runtimeDir_},
      {"HOME", homeDir_},
      {"XDG_CONFIG_HOME", homeDir_ + "/.config"},
      {"GSETTINGS_BACKEND", "memory"},
      // Keep the program away from the machine's own buses unless a test gives one.
      {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + runtimeDir_ + "/no-system-bus"},
      {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtimeDir_ + "/no-session-bus"},
      {"TOLVAR_SIMULATOR", withSimulator ? SimSocketPath() : ""},
      {"QT_QPA_PLATFORM", std::getenv("DISPLAY") != nullptr ? "xcb" : "offscreen"},
  };
  for (auto& [key, value] : environment) env[key] = value;
  program_ = std::make_unique<ChildProcess>(argv, env);
}

bool ProgramUnderTest::WaitForFeatureReports(std::size_t count, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return FeatureReports(SimLog()).size() >= count; }, timeout);
}

std::map<std::string, std::string> ProgramUnderTest::FolderSnapshot() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(appDir_)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ReadWholeFile(entry.path().string());
  }
  return files;
}

std::vector<std::string> ProgramUnderTest::RuntimeEntries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(runtimeDir_)) {
    const std::string name = entry.path().filename().string();
    if (name != "sim.socket") names.push_back(name);
  }
  return names;
}

std::string RunAndRead(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    pclose(pipe);
  }
  return output;
}

}  // namespace tolvar::testing
