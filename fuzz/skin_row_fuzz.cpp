// The skin row reader: any value cut into its seven fields, and any file
// content read row by row as a layout file.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fuzz_check.h"
#include "memory_ini_store.h"
#include "skin/skin_layout.h"
#include "temp_folder.h"

using namespace tolvar;

namespace {

// The layout file must exist on disk for the reader to read them; its
// content comes from the store.
const std::string& SkinsDir() {
  static const fuzz::TempFolder folder("tolvar-skin-fuzz");
  static const std::string dir = [] {
    const std::string root = folder.path().string();
    const std::string path = SkinFilesFor(root, 0).main;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream{path};
    return root;
  }();
  return dir;
}

void CheckSplit(std::u16string_view value) {
  const SplitRow split = SplitSkinRow(value);
  const std::u16string_view cut = value.substr(0, std::min(value.size(), kSkinValueMaxChars));
  FUZZ_CHECK(split.tooManyCommas == (std::count(cut.begin(), cut.end(), u',') > kSkinRowFields - 1));
  for (const std::u16string& field : split.fields) {
    FUZZ_CHECK(field.size() <= cut.size());
    FUZZ_CHECK(cut.find(field) != std::u16string_view::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckSplit(fuzz::Utf16Units(data, size));

  // The same bytes as a layout file, its rows read as the loaders read them.
  fuzz::MemoryIniStore ini;
  fuzz::CountingDialogs dialogs;
  const SkinSource source{ini, dialogs, u"tolvar", SkinsDir(), 0, [] { FUZZ_CHECK(!"the layout file exists"); }};
  const std::string path = SkinFilesFor(source.skinsDir, 0).main;
  ini.Put(path, std::string_view(reinterpret_cast<const char*>(data), size));
  SkinRowReader reader(source);
  for (std::u16string_view section : {u"BUTTONPOS", u"FUN_STRING"}) {
    for (int row = -1; row < 12; ++row) {
      const SkinRow fields = reader.ReadSkinRow(path, section, row);
      for (const std::u16string& field : fields) FUZZ_CHECK(field.size() <= kSkinValueMaxChars);
    }
  }
  return 0;
}
