// Ports that do nothing, for tests and benchmarks of code that needs them
// only to exist: INI files that hold nothing and take every write, and a
// launcher that starts nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ports/ini_store.h"
#include "ports/program_launcher.h"

namespace tolvar::testing {

class NullIni final : public IniStore {
 public:
  std::u16string Read(const std::string&, std::u16string_view, std::u16string_view, std::size_t) override { return {}; }
  bool Write(const std::string&, std::u16string_view, std::u16string_view, std::u16string_view) override {
    return true;
  }
  bool WriteBatch(const std::string&, const std::vector<IniEntry>&) override { return true; }
};

class NullLauncher final : public ProgramLauncher {
 public:
  void Start(SystemProgram) override {}
};

}  // namespace tolvar::testing
