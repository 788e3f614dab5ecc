// The time of one Apply, whole and split into its parts:
//   Whole            real files (macro file, CurConfig, two profiles with
//                    their macro blocks) and the 22 reports;
//   FilesOnly        the same without a mouse: the file work;
//   NoFiles          a store that drops what it is given: composing the
//                    entries and the 22 reports;
//   NoFilesNoMouse   composing the entries alone.
// NoFiles − NoFilesNoMouse is the cost of sending the reports (to a channel
// that does nothing; a real mouse adds its transfer time per report).
// The Time column (wall clock) includes waiting for the disk.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/apply_settings.h"
#include "apply_fixture.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/still_window.h"

namespace tolvar {
namespace {

using bench::FillState;
using bench::NullSystemSettings;
using bench::ProgramFolder;

class NullChannel final : public HidFeatureChannel {
 public:
  bool SendFeature(std::span<const std::uint8_t> report) override {
    benchmark::DoNotOptimize(report.data());
    return true;
  }
};

class NullIniStore final : public IniStore {
 public:
  std::u16string Read(const std::string&, std::u16string_view, std::u16string_view, std::size_t) override { return {}; }
  bool Write(const std::string&, std::u16string_view, std::u16string_view, std::u16string_view) override {
    return true;
  }
  bool WriteBatch(const std::string&, const std::vector<IniEntry>& entries) override {
    benchmark::DoNotOptimize(entries.data());
    return true;
  }
};

using NullWindow = testing::StillWindow;

void RunApply(benchmark::State& state, bool realFiles, bool mouse) {
  ProgramFolder folder;
  AppState app;
  FillState(app, folder);
  IniFileStore files;
  NullIniStore noFiles;
  IniStore& ini = realFiles ? static_cast<IniStore&>(files) : noFiles;
  NullChannel channel;
  if (mouse) app.Link.Reporter.Attach(&channel, 8);
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
