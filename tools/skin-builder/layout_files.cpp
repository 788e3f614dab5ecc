#include "layout_files.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "base/text.h"
#include "skin_description.h"

namespace tolvar::skinbuilder {

namespace {

enum class Language { English, Korean };

constexpr std::u16string_view kButtonSection = u"BUTTONPOS";
constexpr std::u16string_view kFunctionSection = u"FUN_STRING";

// A text that becomes one field of a row: no comma (it would split the
// field) and no line break (it would end the line).
std::u16string Field(const std::u16string& text) {
  if (text.find_first_of(u",\r\n") != std::u16string::npos) {
    throw std::invalid_argument("a skin text holds a comma or a line break: " + Utf16ToUtf8(text));
  }
  return text;
}

// name,x,y,width,height,label, — the normal form with six commas.
std::u16string RowValue(const std::string& name, const Box& box, const std::u16string& label) {
  std::u16string value = Field(Utf8ToUtf16(name));
  for (int number : {box.x, box.y, box.w, box.h}) value += u"," + DecimalText(number);
  value += u"," + Field(label) + u",";
  return value;
}

void AddRows(std::vector<IniEntry>& entries, std::vector<RowSpec> rows, Language language) {
  std::sort(rows.begin(), rows.end(), [](const RowSpec& a, const RowSpec& b) { return a.row < b.row; });
  for (const RowSpec& row : rows) {
    const std::u16string& label = language == Language::English ? row.english : row.korean;
    entries.push_back({std::u16string(kButtonSection), DecimalText(row.row), RowValue(row.name, row.box, label)});
  }
}

LayoutFile MainFile(Language language) {
  LayoutFile file{language == Language::English ? "INI_EN/skin_main_en.ini" : "INI_CN/skin_main.ini", {}};
  std::vector<RowSpec> rows = HeaderRows();
  rows.insert(rows.end(), MainPage().rows.begin(), MainPage().rows.end());
  AddRows(file.entries, rows, language);
  const auto& names = FunctionNames();
  for (int code = 1; code <= kFunctionNameCount; ++code) {
    const FunctionName& name = names[static_cast<std::size_t>(code)];
    // A whole FUN_STRING value is the name: blanks around it would be lost on reading.
    const std::u16string& text = language == Language::English ? name.english : name.korean;
    if (text.empty() || text.front() == u' ' || text.back() == u' ') {
      throw std::invalid_argument("a function name is empty or has blanks around it: " + Utf16ToUtf8(text));
    }
    file.entries.push_back({std::u16string(kFunctionSection), DecimalText(code), Field(text)});
  }
  return file;
}

LayoutFile ColourFile(Language language) {
  LayoutFile file{language == Language::English ? "INI_EN/skin_color_en.ini" : "INI_CN/skin_color.ini", {}};
  AddRows(file.entries, ColourPage().rows, language);
  return file;
}

LayoutFile AdvancedFile(Language language) {
  LayoutFile file{language == Language::English ? "INI_EN/skin_advance_en.ini" : "INI_CN/skin_advance.ini", {}};
  AddRows(file.entries, AdvancedPage().rows, language);
  for (const AreaSpec& area : AdvancedAreas()) {
    file.entries.push_back({area.section, DecimalText(area.row), RowValue(area.name, area.box, u"")});
  }
  return file;
}

LayoutFile WarningFile(Language language) {
  LayoutFile file{language == Language::English ? "INI_EN/LBWarning_en.ini" : "INI_CN/LBWarning.ini", {}};
  AddRows(file.entries, WarningPage().rows, language);
  return file;
}

}  // namespace

std::vector<LayoutFile> LayoutFiles() {
  std::vector<LayoutFile> files;
  for (Language language : {Language::English, Language::Korean}) {
    files.push_back(MainFile(language));
    files.push_back(ColourFile(language));
    files.push_back(AdvancedFile(language));
    files.push_back(WarningFile(language));
  }
  return files;
}

bool WriteLayoutFiles(IniStore& store, const std::string& skinFolder) {
  for (const LayoutFile& file : LayoutFiles()) {
    const std::string path = skinFolder + "/" + file.relativePath;
    // A fresh file, so no row of an earlier skin survives.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (!store.WriteBatch(path, file.entries)) return false;
  }
  return true;
}

}  // namespace tolvar::skinbuilder
