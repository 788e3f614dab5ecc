// The configuration loader over any file: the language, the current
// profile's reset values, and its own section with its macro block.
// Loading what a save wrote must give the same settings and macros again.
#include <fstream>

#include "app/state_loading.h"
#include "config/config_file.h"
#include "fuzz_check.h"
#include "memory_ini_store.h"
#include "temp_folder.h"

using namespace tolvar;

namespace {

// The loader looks for the file on disk before it reads it from the store.
const std::string& ConfigFile() {
  static const fuzz::TempFolder folder("tolvar-config-fuzz");
  static const std::string file = [] {
    const std::string path = (folder.path() / "config.ini").string();
    std::ofstream{path};
    return path;
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& file = ConfigFile();
  fuzz::MemoryIniStore ini;
  fuzz::CountingDialogs dialogs;
  ini.Put(file, std::string_view(reinterpret_cast<const char*>(data), size));

  AppState app;
  app.VER_SEL = ReadLanguage(ini, file);
  const int current = ReadCurConfig(ini, file);
  LoadProfile(app, ini, dialogs, file, current, ProfileSource::ResetSection, false);
  LoadProfile(app, ini, dialogs, file, current, ProfileSource::OwnSection, true);
  FUZZ_CHECK(app.UserMacros.count >= 0 && app.UserMacros.count <= kMaxUserMacros);
  FUZZ_CHECK(dialogs.shown == 0);

  // The profile read, saved into another section and read back.
  const ProfileSettings settings = app.Settings;
  const UserMacroTable macros = app.UserMacros;
  FUZZ_CHECK(!SaveProfile(ini, file, 6, settings, macros));
  LoadProfile(app, ini, dialogs, file, 6, ProfileSource::OwnSection, true);
  const std::vector<IniEntry> saved = ProfileEntries(u"Config6", settings);
  const std::vector<IniEntry> loaded = ProfileEntries(u"Config6", app.Settings);
  FUZZ_CHECK(saved.size() == loaded.size());
  for (std::size_t i = 0; i < saved.size(); ++i) {
    FUZZ_CHECK(saved[i].key == loaded[i].key && saved[i].value == loaded[i].value);
  }
  FUZZ_CHECK(app.UserMacros.count == macros.count);
  for (int slot = 0; slot < macros.count; ++slot) FUZZ_CHECK(app.UserMacros.slots[slot] == macros.slots[slot]);
  return 0;
}
