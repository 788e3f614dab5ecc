// The time of one Apply, whole and split into its parts:
//   Whole            real files (macro file, CurConfig, two profiles with
//                    their macro blocks) and the 22 reports;
//   FilesOnly        the same without a mouse: the file work;
//   NoFiles          a store that drops what it is given: composing the
//                    entries and the 22 reports;
//   NoFilesNoMouse   composing the entries alone.
// NoFiles − NoFilesNoMouse is the cost of sending the reports (to a channel
// that does nothing; a real mouse adds its transfer time per report).
// Twelve macros of 100 events each make the macro blocks as large as they
// get in use. The Time column (wall clock) includes waiting for the disk.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/profile_settings.h"
#include "device/apply_settings.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/still_window.h"

namespace tolvar {
namespace {

class NullChannel final : public HidFeatureChannel {
 public:
  bool SendFeature(std::span<const std::uint8_t> report) override {
    benchmark::DoNotOptimize(report.data());
    return true;
  }
};

class NullIniStore final : public IniStore {
 public:
  std::u16string Read(const std::string&, std::u16string_view, std::u16string_view, std::size_t) override {
    return {};
  }
  bool Write(const std::string&, std::u16string_view, std::u16string_view, std::u16string_view) override {
    return true;
  }
  bool WriteBatch(const std::string&, const std::vector<IniEntry>& entries) override {
    benchmark::DoNotOptimize(entries.data());
    return true;
  }
};

class NullSystemSettings final : public SystemSettings {
 public:
  std::optional<int> PointerSpeed() override { return 10; }
  void SetPointerSpeed(int) override {}
  std::optional<int> WheelScrollLines() override { return 3; }
  void SetWheelScrollLines(int) override {}
};

using NullWindow = testing::StillWindow;

// A program folder in /tmp with its configuration folder, removed afterwards.
class ProgramFolder {
 public:
  ProgramFolder() {
    std::string pattern = "/tmp/tolvar-apply-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    std::filesystem::create_directories(root_ + "/skins/config");
  }
  ~ProgramFolder() { std::filesystem::remove_all(root_); }
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
};

void FillState(AppState& app, const ProgramFolder& folder) {
  app.Paths.ModuleDir = folder.Root();
  app.Paths.ConfigPath = folder.Root() + "/skins/config/config.ini";
  app.VER_SEL = 1;
  app.CurConfig = 2;
  app.Settings = DefaultProfile(0);
  app.UserMacros.count = kMaxUserMacros;
  for (int i = 0; i < kMaxUserMacros; ++i) {
    Macro& m = app.UserMacros.slots[i];
    m.name = MacroNameFrom(u"macro " + std::u16string(1, static_cast<char16_t>(u'a' + i)));
    m.eventCount = 100;
    for (int e = 0; e < 100; ++e) m.events[e] = {static_cast<std::uint8_t>(4 + e % 26), static_cast<std::uint8_t>(1 + e % 2), 30};
  }
}

void RunApply(benchmark::State& state, bool realFiles, bool mouse) {
  ProgramFolder folder;
  AppState app;
  FillState(app, folder);
  IniFileStore files;
  NullIniStore noFiles;
  IniStore& ini = realFiles ? static_cast<IniStore&>(files) : noFiles;
  NullChannel channel;
  if (mouse) app.Reporter.Attach(&channel, 8);
  NullSystemSettings system;
  NullWindow window;
  for (auto _ : state) {
    // Alternate a setting so each apply really changes the files.
    app.Settings.FIRE_TIME = app.Settings.FIRE_TIME == 50 ? 51 : 50;
    benchmark::DoNotOptimize(ApplySettings(app, ini, system, window, std::nullopt));
  }
}

void BM_ApplyWhole(benchmark::State& state) { RunApply(state, true, true); }
void BM_ApplyFilesOnly(benchmark::State& state) { RunApply(state, true, false); }
void BM_ApplyNoFiles(benchmark::State& state) { RunApply(state, false, true); }
void BM_ApplyNoFilesNoMouse(benchmark::State& state) { RunApply(state, false, false); }

BENCHMARK(BM_ApplyWhole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyFilesOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyNoFiles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyNoFilesNoMouse)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tolvar

BENCHMARK_MAIN();
