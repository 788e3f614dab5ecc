// What the Apply benchmarks share: a program folder, a profile with twelve
// macros of 100 events each (macro blocks as large as they get in use), and
// desktop settings that cost nothing.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "config/profile_settings.h"
#include "macros/macro_text.h"
#include "ports/pointer_settings.h"

namespace tolvar::bench {

class NullSystemSettings final : public PointerSettings {
 public:
  std::optional<int> PointerSpeed() override { return 10; }
  void SetPointerSpeed(int) override {}
  std::optional<int> WheelScrollLines() override { return 3; }
  void SetWheelScrollLines(int) override {}
};

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
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
};

inline void FillState(AppState& app, const ProgramFolder& folder) {
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
    for (int e = 0; e < 100; ++e) {
      m.events[e] = {static_cast<std::uint8_t>(4 + e % 26), static_cast<std::uint8_t>(1 + e % 2), 30};
    }
  }
}

}  // namespace tolvar::bench
