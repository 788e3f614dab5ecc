#include "process_sample.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tolvar::testing {

namespace {

// What a dialog that happens to be open when a sample is taken may add:
// its threads (file dialogs, the colour dialog) and its open files.
constexpr int kThreadSlack = 2;
constexpr int kOpenFileSlack = 4;

std::string ReadText(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The number after "<key>:" on its line, or -1.
long FieldOf(const std::string& text, const std::string& key) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  }
  return -1;
}

struct Highest {
  long privateKiB = 0;
  int openFiles = 0;
  int threads = 0;
  int count = 0;
  void Take(const ProcessSample& sample) {
    privateKiB = std::max(privateKiB, sample.privateKiB);
    openFiles = std::max(openFiles, sample.openFiles);
    threads = std::max(threads, sample.threads);
    ++count;
  }
};

}  // namespace

long PrivateKiBOf(const std::string& smapsRollup) {
  const long clean = FieldOf(smapsRollup, "Private_Clean");
  const long dirty = FieldOf(smapsRollup, "Private_Dirty");
  return clean < 0 || dirty < 0 ? -1 : clean + dirty;
}

int ThreadsOf(const std::string& status) { return static_cast<int>(FieldOf(status, "Threads")); }

std::optional<ProcessSample> SampleProcess(pid_t pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  ProcessSample sample;
  sample.privateKiB = PrivateKiBOf(ReadText(proc + "/smaps_rollup"));
  sample.threads = ThreadsOf(ReadText(proc + "/status"));
  std::error_code error;
  for (std::filesystem::directory_iterator entry(proc + "/fd", error), end; !error && entry != end;
       entry.increment(error)) {
    ++sample.openFiles;
  }
  if (error || sample.privateKiB < 0 || sample.threads < 0) return std::nullopt;
  return sample;
}

std::vector<std::string> GrowthFound(const std::vector<ProcessSample>& samples, double warmUpMinutes) {
  std::vector<ProcessSample> counted;
  std::copy_if(samples.begin(), samples.end(), std::back_inserter(counted),
               [warmUpMinutes](const ProcessSample& sample) { return sample.minute >= warmUpMinutes; });
  if (counted.size() < 4) return {"too few samples after the warm-up to judge growth"};
  const double end = counted.back().minute;
  const double lateFrom = end - (end - counted.front().minute) / 4;
  Highest early;
  Highest late;
  for (const ProcessSample& sample : counted) (sample.minute < lateFrom ? early : late).Take(sample);
  std::vector<std::string> growth;
  if (late.threads > early.threads + kThreadSlack) {
    growth.push_back("threads grew from " + std::to_string(early.threads) + " to " + std::to_string(late.threads));
  }
  if (late.openFiles > early.openFiles + kOpenFileSlack) {
    growth.push_back("open files grew from " + std::to_string(early.openFiles) + " to " +
                     std::to_string(late.openFiles));
  }
  if (late.privateKiB > early.privateKiB + early.privateKiB / 4 + 4096) {
    growth.push_back("private memory grew from " + std::to_string(early.privateKiB) + " KiB to " +
                     std::to_string(late.privateKiB) + " KiB");
  }
  return growth;
}

}  // namespace tolvar::testing
