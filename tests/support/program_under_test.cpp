#include "support/program_under_test.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "macros/macro_file.h"
#include "platform/ini/ini_file_store.h"

namespace fs = std::filesystem;

namespace tolvar::testing {

namespace {

bool IsHexByte(const std::string& word) {
  return word.size() == 2 && std::isxdigit(static_cast<unsigned char>(word[0])) &&
         std::isxdigit(static_cast<unsigned char>(word[1]));
}

// Whether a server accepts connections on the Unix socket at `path`.
bool SocketAccepts(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool accepted = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return accepted;
}

// A whole profile section in the file's order, with the values of the
// delivered first profile.
const std::vector<std::pair<std::string, std::string>>& BaseProfile() {
  static const std::vector<std::pair<std::string, std::string>> profile = {
      {"K0", "1"},         {"K1", "2"},           {"K2", "3"},           {"K3", "5"},          {"K4", "4"},
      {"K5", "6"},         {"DPI_LEVEL", "1"},    {"WHEEL_STATUS", "0"}, {"MACRO_MODE2", "0"}, {"CYC_7COL_EN", "127"},
      {"DPI_SET0", "2"},   {"DPI_SET_EN0", "1"},  {"DPI0_R", "15"},      {"DPI0_G", "15"},     {"DPI0_B", "0"},
      {"DPI_SET1", "4"},   {"DPI_SET_EN1", "1"},  {"DPI1_R", "0"},       {"DPI1_G", "15"},     {"DPI1_B", "0"},
      {"DPI_SET2", "5"},   {"DPI_SET_EN2", "1"},  {"DPI2_R", "15"},      {"DPI2_G", "0"},      {"DPI2_B", "15"},
      {"DPI_SET3", "7"},   {"DPI_SET_EN3", "1"},  {"DPI3_R", "0"},       {"DPI3_G", "15"},     {"DPI3_B", "15"},
      {"DPI_SET4", "9"},   {"DPI_SET_EN4", "1"},  {"DPI4_R", "15"},      {"DPI4_G", "0"},      {"DPI4_B", "0"},
      {"DPI_SET5", "11"},  {"DPI_SET_EN5", "1"},  {"DPI5_R", "0"},       {"DPI5_G", "0"},      {"DPI5_B", "15"},
      {"LED_TYPE", "1"},   {"LED_CYC_TIME", "2"}, {"DPI_SPEED", "4"},    {"WHEEL_SPEED", "2"}, {"USB_SPEED", "2"},
      {"FIRE_TIME", "50"},
  };
  return profile;
}

}  // namespace

std::string FindOnPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::string ConfigWithProfile(int profile, const std::map<std::string, std::string>& changes) {
  for (const auto& [key, value] : changes) {
    const auto& base = BaseProfile();
    if (std::none_of(base.begin(), base.end(), [&](const auto& entry) { return entry.first == key; })) {
      throw std::invalid_argument("not a profile key: " + key);
    }
  }
  std::string text =
      "[Init]\nCurConfig=" + std::to_string(profile) + "\nVER_SEL=1\n[Config" + std::to_string(profile) + "]\n";
  for (const auto& [key, value] : BaseProfile()) {
    const auto change = changes.find(key);
    text += key + "=" + (change != changes.end() ? change->second : value) + "\n";
  }
  return text;
}

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

ProgramUnderTest::ProgramUnderTest(std::string screen)
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
  StartPrivateDisplay(screen);
}

// Each test draws on a virtual display of its own, so tests running side by
// side never see each other's windows, trays or focus.
void ProgramUnderTest::StartPrivateDisplay(const std::string& screen) {
  for (int number = 100 + getpid() % 400, tries = 0; tries < 50; ++number, ++tries) {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
    if (fs::exists(socket) || fs::exists(lock)) continue;
    const std::string display = ":" + std::to_string(number);
    // -noreset: the server must not reset when its last client (say, an
    // xdotool query) leaves while the program is still connecting.
    auto server = std::make_unique<ChildProcess>(
        std::vector<std::string>{FindOnPath("Xvfb"), display, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
        std::map<std::string, std::string>{});
    // The display is ours once its lock file names our server and it listens;
    // a server that lost the race for the number ends by itself.
    const auto ours = [&] {
      const std::string owner = ReadWholeFile(lock);
      return fs::exists(socket) && !owner.empty() && std::stol(owner) == server->Pid();
    };
    if (WaitUntil([&] { return ours() || !server->Running(); }, std::chrono::seconds(10)) && ours()) {
      display_ = display;
      displayServer_ = std::move(server);
      setenv("DISPLAY", display_.c_str(), 1);
      return;
    }
  }
  throw std::runtime_error("no virtual display could be started (is Xvfb installed?)");
}

ProgramUnderTest::~ProgramUnderTest() {
  program_.reset();
  simulator_.reset();
  helpers_.clear();
  // Xvfb removes its socket and lock file when it ends normally.
  if (displayServer_) displayServer_->Terminate(std::chrono::seconds(5));
}

void ProgramUnderTest::WriteConfig(const std::string& text) const {
  std::ofstream config(ConfigPath(), std::ios::binary | std::ios::trunc);
  config << text;
  if (!config.flush()) throw std::runtime_error("cannot write " + ConfigPath());
}

void ProgramUnderTest::WriteUserMacros(const UserMacroTable& macros) const {
  const std::string file = appDir_ + "/Macro_EN.dat";
  fs::remove(file);
  IniFileStore ini;
  if (SaveUserMacros(ini, file, kMacroSection, macros) || !fs::exists(file)) {
    throw std::runtime_error("cannot write " + file);
  }
}

ChildProcess& ProgramUnderTest::StartHelper(std::vector<std::string> argv) {
  const std::string program = FindOnPath(argv.at(0));
  if (program.empty()) throw std::runtime_error(argv[0] + " is not installed");
  argv[0] = program;
  helpers_.push_back(std::make_unique<ChildProcess>(argv, std::map<std::string, std::string>{}));
  return *helpers_.back();
}

std::string ProgramUnderTest::StartPrivateBus() {
  const std::string socket = root_.Path() + "/bus";
  ChildProcess& daemon =
      StartHelper({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=unix:path=" + socket});
  if (!WaitUntil([&] { return SocketAccepts(socket) || !daemon.Running(); }, std::chrono::seconds(10)) ||
      !daemon.Running()) {
    throw std::runtime_error("the private bus daemon did not start");
  }
  return "unix:path=" + socket;
}

void ProgramUnderTest::StartSimulator() {
  simulator_ =
      std::make_unique<ChildProcess>(std::vector<std::string>{std::string(TOLVAR_BIN_DIR) + "/tolvar-mouse-sim",
                                                              "--socket", SimSocketPath(), "--log", SimLogPath()},
                                     std::map<std::string, std::string>{});
  if (!WaitUntil([&] { return fs::exists(SimSocketPath()); }, std::chrono::seconds(10))) {
    throw std::runtime_error("the simulator did not start");
  }
}

void ProgramUnderTest::StartProgram(bool withSimulator, std::vector<std::string> arguments,
                                    std::map<std::string, std::string> environment) {
  std::vector<std::string> argv{appDir_ + "/tolvar"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::map<std::string, std::string> env = ProgramEnvironment(withSimulator);
  for (auto& [key, value] : environment) env[key] = value;
  program_ = std::make_unique<ChildProcess>(argv, env);
}

std::map<std::string, std::string> ProgramUnderTest::ProgramEnvironment(bool withSimulator) const {
  return {
      {"XDG_RUNTIME_DIR", runtimeDir_},
      {"HOME", homeDir_},
      {"XDG_CONFIG_HOME", homeDir_ + "/.config"},
      {"GSETTINGS_BACKEND", "memory"},
      // Keep the program away from the machine's own buses unless a test gives one.
      {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + runtimeDir_ + "/no-system-bus"},
      {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtimeDir_ + "/no-session-bus"},
      {"TOLVAR_SIMULATOR", withSimulator ? SimSocketPath() : ""},
      {"DISPLAY", display_},
      {"QT_QPA_PLATFORM", "xcb"},
  };
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
