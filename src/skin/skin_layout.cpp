#include "skin/skin_layout.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include "base/text.h"

namespace tolvar {

namespace {

constexpr std::size_t kValueBufferChars = kSkinValueMaxChars + 1;

constexpr std::u16string_view kButtonPos = u"BUTTONPOS";
constexpr std::u16string_view kFunString = u"FUN_STRING";
constexpr std::u16string_view kEdit = u"EDIT";
constexpr std::u16string_view kMacroDisplay = u"MACRODISPLAY";

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// Any path the file system accepts: a program installed in a deep folder
// still finds its skin (a path too long for the system does not exist).
bool LayoutFileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

// Position of the first comma at or after `start`, or -1.
std::ptrdiff_t FindComma(std::u16string_view value, std::ptrdiff_t start) {
  if (start < 0 || static_cast<std::size_t>(start) >= value.size()) return -1;
  const std::size_t found = value.find(u',', static_cast<std::size_t>(start));
  return found == std::u16string_view::npos ? -1 : static_cast<std::ptrdiff_t>(found);
}

// Characters from `from` up to, not including, `to`; empty when to < from.
std::u16string Between(std::u16string_view value, std::ptrdiff_t from, std::ptrdiff_t to) {
  if (to < from) return {};
  return std::u16string(value.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
}

HotSpot HotSpotOf(const SkinRow& row) {
  return {ParseDecimal(row[1]), ParseDecimal(row[2]), ParseDecimal(row[3]), ParseDecimal(row[4])};
}

// Reads rows 0..N-1 of `section` into `page`, every entry overwritten.
template <std::size_t N>
void ReadPage(SkinRowReader& reader, const std::string& path, SkinPage<N>& page) {
  page = SkinPage<N>{};
  for (int row = 0; row < SkinPage<N>::kRows && !reader.Ended(); ++row) {
    const SkinRow fields = reader.ReadSkinRow(path, kButtonPos, row);
    page.spots[static_cast<std::size_t>(row)] = HotSpotOf(fields);
    page.labels[static_cast<std::size_t>(row)] = fields[5];
  }
}

Rect ReadArea(SkinRowReader& reader, const std::string& path, std::u16string_view section, int row) {
  return RectOf(HotSpotOf(reader.ReadSkinRow(path, section, row)));
}

}  // namespace

Rect RectOf(const HotSpot& spot) {
  return {spot.x, spot.y, Saturate(std::int64_t{spot.x} + spot.width), Saturate(std::int64_t{spot.y} + spot.height)};
}

const std::u16string& FunctionLabel(const FunctionLabelTable& labels, std::int32_t code) {
  static const std::u16string kEmpty;
  if (code < 1 || code > kFunctionLabelCount) return kEmpty;
  return labels[static_cast<std::size_t>(code)];
}

SplitRow SplitSkinRow(std::u16string_view value) {
  value = value.substr(0, std::min(value.size(), kSkinValueMaxChars));
  SplitRow result;
  const auto commas = std::count(value.begin(), value.end(), u',');
  result.tooManyCommas = commas > kSkinRowFields - 1;
  if (commas == 0) {
    result.fields[0] = std::u16string(value);
    return result;
  }
  // A cursor over the commas; a search that finds nothing sends the next one
  // back to the start of the value, so short rows repeat their first fields.
  std::ptrdiff_t prev = -1;
  for (int i = 0; i < kSkinRowFields - 1; ++i) {
    const std::ptrdiff_t next = FindComma(value, prev + 1);
    result.fields[static_cast<std::size_t>(i)] = next < 0 ? std::u16string() : Between(value, prev + 1, next);
    if (i == kSkinRowFields - 2) {
      result.fields[kSkinRowFields - 1] = std::u16string(value.substr(static_cast<std::size_t>(next + 1)));
    }
    prev = next;
  }
  return result;
}

SkinRow SkinRowReader::ReadSkinRow(const std::string& path, std::u16string_view section, int row) {
  if (ended_) return {};
  if (!LayoutFileExists(path)) {
    ended_ = true;
    source_.dialogs.MessageBox(kMissingLayoutMessage, source_.caption);
    if (source_.endProgram) source_.endProgram();
    return {};
  }
  const std::u16string value = source_.ini.Read(path, section, DecimalText(row), kValueBufferChars);
  SplitRow split = SplitSkinRow(value);
  if (split.tooManyCommas) source_.dialogs.MessageBox(kBadRowMessage, source_.caption);
  return std::move(split.fields);
}

SkinFilePaths SkinFilesFor(const std::string& skinsDir, std::uint8_t verSel) {
  if (verSel != 0) {
    return {skinsDir + "/INI_EN/skin_main_en.ini", skinsDir + "/INI_EN/skin_color_en.ini",
            skinsDir + "/INI_EN/skin_advance_en.ini", skinsDir + "/INI_EN/LBWarning_en.ini"};
  }
  return {skinsDir + "/INI_CN/skin_main.ini", skinsDir + "/INI_CN/skin_color.ini",
          skinsDir + "/INI_CN/skin_advance.ini", skinsDir + "/INI_CN/LBWarning.ini"};
}

bool LoadMainSkin(const SkinSource& source, SkinLayout& layout) {
  const std::string path = SkinFilesFor(source.skinsDir, source.verSel).main;
  SkinRowReader reader(source);
  ReadPage(reader, path, layout.Main);
  layout.FunctionLabels = FunctionLabelTable{};
  for (int code = 1; code <= kFunctionLabelCount && !reader.Ended(); ++code) {
    layout.FunctionLabels[static_cast<std::size_t>(code)] = reader.ReadSkinRow(path, kFunString, code)[0];
  }
  return !reader.Ended();
}

bool LoadColourSkin(const SkinSource& source, SkinLayout& layout) {
  SkinRowReader reader(source);
  ReadPage(reader, SkinFilesFor(source.skinsDir, source.verSel).colour, layout.Colour);
  return !reader.Ended();
}

bool LoadAdvancedSkin(const SkinSource& source, SkinLayout& layout) {
  const std::string path = SkinFilesFor(source.skinsDir, source.verSel).advanced;
  SkinRowReader reader(source);
  ReadPage(reader, path, layout.Advanced);
  AdvancedAreas areas;
  areas.CutOutArea = ReadArea(reader, path, kEdit, 2);
  areas.RepeatEditArea = ReadArea(reader, path, kEdit, 3);
  areas.NameEditArea = ReadArea(reader, path, kEdit, 4);
  areas.MacroListArea = ReadArea(reader, path, kMacroDisplay, 1);
  areas.EventListArea = ReadArea(reader, path, kMacroDisplay, 2);
  layout.Areas = areas;
  return !reader.Ended();
}

bool LoadWarningSkin(const SkinSource& source, SkinLayout& layout) {
  SkinRowReader reader(source);
  ReadPage(reader, SkinFilesFor(source.skinsDir, source.verSel).warning, layout.Warning);
  return !reader.Ended();
}

bool LoadAllSkins(const SkinSource& source, SkinLayout& layout) {
  return LoadMainSkin(source, layout) && LoadColourSkin(source, layout) && LoadAdvancedSkin(source, layout) &&
         LoadWarningSkin(source, layout);
}

}  // namespace tolvar
