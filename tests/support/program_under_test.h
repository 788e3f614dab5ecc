// End-to-end test fixture: the real program copied into a folder of its own
// (as an unpacked program folder, with the delivered data beside it), the
// simulated mouse, and the records of the simulator's log.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "macros/macro.h"
#include "support/child_process.h"

namespace tolvar::testing {

// One record of the simulator's log: its time and its words.
struct SimRecord {
  double timeMs = 0;
  std::string kind;                 // "F", "KEYS", "BUTTONS", "CONSUMER", "UNPLUG", "PLUG", ...
  std::vector<std::uint8_t> bytes;  // the hex fields after the kind
  std::string text;                 // the whole line
};

std::vector<SimRecord> ReadSimLog(const std::string& path);
std::vector<SimRecord> FeatureReports(const std::vector<SimRecord>& records);
std::string Hex(const std::vector<std::uint8_t>& bytes);

class ProgramUnderTest {
 public:
  // `screen`: the virtual display's size and depth, as Xvfb takes it.
  explicit ProgramUnderTest(std::string screen = "1280x1024x24");
  ~ProgramUnderTest();

  const std::string& AppDir() const { return appDir_; }
  const std::string& RuntimeDir() const { return runtimeDir_; }
  std::string ConfigPath() const { return appDir_ + "/skins/config/config.ini"; }
  std::string SimLogPath() const { return root_.Path() + "/sim.log"; }
  std::string SimSocketPath() const { return runtimeDir_ + "/sim.socket"; }

  // Starts tolvar-mouse-sim on the socket; waits until it listens.
  void StartSimulator();
  void SimCommand(const std::string& line) { simulator_->WriteLine(line); }
  std::vector<SimRecord> SimLog() const { return ReadSimLog(SimLogPath()); }

  // Starts the program; with `withSimulator` it looks for the simulated mouse.
  void StartProgram(bool withSimulator = true, std::vector<std::string> arguments = {},
                    std::map<std::string, std::string> environment = {});
  ChildProcess& Program() { return *program_; }
  // The environment the program runs in: this test's runtime folder, home,
  // display and simulator, and no bus of the machine's.
  std::map<std::string, std::string> ProgramEnvironment(bool withSimulator = true) const;

  // Waits until the simulator has logged at least `count` feature reports.
  bool WaitForFeatureReports(std::size_t count, std::chrono::milliseconds timeout);

  // Replaces skins/config/config.ini of the program folder.
  void WriteConfig(const std::string& text) const;
  // Replaces the English user macro file with a block holding `macros`,
  // written by the program's own macro writer.
  void WriteUserMacros(const UserMacroTable& macros) const;

  // Starts a helper program (a tray host, a bus daemon; argv[0] is looked up
  // on PATH) that lives as long as this fixture; it is ended after the
  // program and the simulator. Throws when the program is not found.
  ChildProcess& StartHelper(std::vector<std::string> argv);
  // Starts a private D-Bus daemon (session rules: anyone may own any name)
  // and returns its address once it accepts connections.
  std::string StartPrivateBus();

  // Every file below the program folder with its content, to compare states.
  std::map<std::string, std::string> FolderSnapshot() const;
  std::vector<std::string> RuntimeEntries() const;

  // The test's own X display (DISPLAY is set to it for this process).
  const std::string& Display() const { return display_; }

 private:
  void StartPrivateDisplay(const std::string& screen);

  TempDir root_;
  std::string appDir_;
  std::string runtimeDir_;
  std::string homeDir_;
  std::string display_;
  std::unique_ptr<ChildProcess> displayServer_;  // ends after everything drawing on it
  std::unique_ptr<ChildProcess> simulator_;
  std::unique_ptr<ChildProcess> program_;
  std::vector<std::unique_ptr<ChildProcess>> helpers_;
};

// The full path of `name` on PATH, or "" when it is not there.
std::string FindOnPath(const std::string& name);

// A configuration file: Init with CurConfig = `profile` and VER_SEL = 1
// (English), and one whole section of that profile: the values of the
// delivered first profile, with `changes` (key to value) applied.
std::string ConfigWithProfile(int profile, const std::map<std::string, std::string>& changes);

// xdotool's answer, or "" when it fails.
std::string RunAndRead(const std::string& command);

}  // namespace tolvar::testing
