// The eight layout files of the skin (four pages, two languages), as the
// entries the program reads.
#pragma once

#include <string>
#include <vector>

#include "ports/ini_store.h"

namespace tolvar::skinbuilder {

struct LayoutFile {
  std::string relativePath;       // below the skin folder, e.g. "INI_EN/skin_main_en.ini"
  std::vector<IniEntry> entries;  // in file order
};

// All eight files, English first. Throws std::invalid_argument when a text
// of the description cannot be stored as a row (a comma or a line break).
std::vector<LayoutFile> LayoutFiles();

// Writes every file into `skinFolder` (its INI_EN and INI_CN folders must
// exist), replacing what was there. Returns false when a write failed.
bool WriteLayoutFiles(IniStore& store, const std::string& skinFolder);

}  // namespace tolvar::skinbuilder
