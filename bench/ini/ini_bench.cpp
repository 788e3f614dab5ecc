// The INI engine under the loads the program puts on it: the skin loader's
// one call per row, and a profile save of 40 keys, one call each or batched.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"

namespace {

std::string g_folder;

std::string SkinPath() { return g_folder + "/skin_main_en.ini"; }
std::string ConfigPath() { return g_folder + "/config.ini"; }

// A layout file of 200 rows: 150 in BUTTONPOS, 50 in FUN_STRING.
void WriteSkinFile() {
  std::ofstream out(SkinPath(), std::ios::binary);
  out << "[BUTTONPOS]\n";
  for (int row = 0; row < 150; ++row) {
    out << row << "=Button" << row << "," << row * 3 << "," << row * 2 << ",40,20,Label " << row << ",\n";
  }
  out << "\n[FUN_STRING]\n";
  for (int row = 1; row <= 50; ++row) out << row << "=Function " << row << "\n";
}

// 300 reads, one call each: every row present and 100 rows the file lacks.
void BM_Read300KeysOneCallEach(benchmark::State& state) {
  tolvar::IniFileStore store;
  const std::string path = SkinPath();
  std::vector<std::u16string> rows;
  for (int row = 0; row < 250; ++row) rows.push_back(tolvar::DecimalText(row));
  for (auto _ : state) {
    for (int row = 0; row < 250; ++row) benchmark::DoNotOptimize(store.Read(path, u"BUTTONPOS", rows[row], 260));
    for (int row = 1; row <= 50; ++row) benchmark::DoNotOptimize(store.Read(path, u"FUN_STRING", rows[row], 260));
  }
  state.SetItemsProcessed(state.iterations() * 300);
}
BENCHMARK(BM_Read300KeysOneCallEach)->Unit(benchmark::kMicrosecond);

std::vector<tolvar::IniEntry> ProfileEntries(int value) {
  std::vector<tolvar::IniEntry> entries;
  for (int k = 0; k < 40; ++k) {
    entries.push_back({u"Config1", u"KEY_" + tolvar::DecimalText(k), tolvar::DecimalText(value + k)});
  }
  return entries;
}

void BM_Write40KeysOneCallEach(benchmark::State& state) {
  tolvar::IniFileStore store;
  int value = 0;
  for (auto _ : state) {
    for (const tolvar::IniEntry& entry : ProfileEntries(++value)) {
      store.Write(ConfigPath(), entry.section, entry.key, entry.value);
    }
  }
}
BENCHMARK(BM_Write40KeysOneCallEach)->Unit(benchmark::kMillisecond);

void BM_Write40KeysOneBatch(benchmark::State& state) {
  tolvar::IniFileStore store;
  int value = 0;
  for (auto _ : state) store.WriteBatch(ConfigPath(), ProfileEntries(++value));
}
BENCHMARK(BM_Write40KeysOneBatch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tolvar-ini-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  g_folder = pattern;
  WriteSkinFile();
  // A delivered skin file is old; let its time stamps age as they would.
  std::printf(
      "Letting the skin file age for %lld ms...\n",
      static_cast<long long>(
          std::chrono::duration_cast<std::chrono::milliseconds>(tolvar::IniFileStore::kTimeStampSlack).count()) +
          200);
  std::this_thread::sleep_for(tolvar::IniFileStore::kTimeStampSlack + std::chrono::milliseconds(200));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(g_folder);
  return 0;
}
