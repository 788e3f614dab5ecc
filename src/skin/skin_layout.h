// The skin layout files: every clickable rectangle, every label and the
// display names of the button functions, read row by row from the layout
// files of the language in use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/geometry.h"
#include "base/values.h"
#include "ports/ini_store.h"
#include "ports/message_boxes.h"

namespace tolvar {

// One rectangle of a page; the right and bottom edges are outside it.
struct HotSpot {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  bool Contains(std::int64_t px, std::int64_t py) const {
    return x <= px && px < std::int64_t{x} + width && y <= py && py < std::int64_t{y} + height;
  }
  friend bool operator==(const HotSpot&, const HotSpot&) = default;
};

// The layout of one page: row n of its file fills entry n of both lists.
template <std::size_t N>
struct SkinPage {
  static constexpr int kRows = static_cast<int>(N);
  std::array<HotSpot, N> spots{};
  std::array<std::u16string, N> labels{};

  // Row `row` when it exists, else an empty hot spot (a safe no-op for any index).
  const HotSpot& Spot(int row) const {
    static const HotSpot kEmpty{};
    return row >= 0 && row < kRows ? spots[static_cast<std::size_t>(row)] : kEmpty;
  }

  // The first of rows 0..count − 1 whose hot spot holds (x, y); kNone for none.
  int RowAt(std::int64_t x, std::int64_t y, int count) const {
    for (int row = 0; row < count && row < kRows; ++row) {
      if (spots[static_cast<std::size_t>(row)].Contains(x, y)) return row;
    }
    return kNone;
  }
};

using MainSkinPage = SkinPage<150>;
using ColourSkinPage = SkinPage<33>;
using AdvancedSkinPage = SkinPage<52>;
using WarningSkinPage = SkinPage<3>;

// The rectangle (x, y, x + width, y + height) of a hot spot; edges beyond
// 32 bits saturate.
Rect RectOf(const HotSpot& spot);

// Places of the advanced page's controls and the one area only cut out of
// the control-free region.
struct AdvancedAreas {
  Rect CutOutArea;
  Rect RepeatEditArea;
  Rect NameEditArea;
  Rect MacroListArea;
  Rect EventListArea;
  friend bool operator==(const AdvancedAreas&, const AdvancedAreas&) = default;
};

constexpr int kFunctionLabelCount = 54;  // codes 1..54

// Display names of the button functions: entry k names code k; entry 0 is
// never read from a file and stays empty.
using FunctionLabelTable = std::array<std::u16string, kFunctionLabelCount + 1>;

// Every layout the program reads from the skin folder.
struct SkinLayout {
  MainSkinPage Main;
  ColourSkinPage Colour;
  AdvancedSkinPage Advanced;
  WarningSkinPage Warning;
  FunctionLabelTable FunctionLabels;
  AdvancedAreas Areas;
};

// The label of function code `code`: FunctionLabels entry code for 1..54,
// the empty text for any other code.
const std::u16string& FunctionLabel(const FunctionLabelTable& labels, std::int32_t code);

// Fields 0..6 of one row.
constexpr int kSkinRowFields = 7;
using SkinRow = std::array<std::u16string, kSkinRowFields>;

// Values longer than this are cut to it before they are split.
constexpr std::size_t kSkinValueMaxChars = 259;

inline const std::u16string kMissingLayoutMessage = u"找不到配置文件";
inline const std::u16string kBadRowMessage = u"加载ini错误！";

// The cutting of one row value into its seven fields. `tooManyCommas` tells
// whether the value held more than six commas.
struct SplitRow {
  SkinRow fields;
  bool tooManyCommas = false;
};
SplitRow SplitSkinRow(std::u16string_view value);

// What reading the layout files needs of the program.
struct SkinSource {
  IniStore& ini;
  MessageBoxes& dialogs;
  std::u16string caption;  // the application's name, caption of every message
  std::string skinsDir;
  std::uint8_t verSel = 0;  // nonzero: the English variants
  // The rest of the failure sequence after the missing-file message has been
  // shown: remove the tray icon, send the detach report, destroy the window.
  std::function<void()> endProgram;
};

// Reads rows of layout files for one load. The first row of a missing file
// shows "找不到配置文件" and ends the program; the failure sequence runs at
// most once per reader, and every row read after it is empty.
class SkinRowReader {
 public:
  explicit SkinRowReader(const SkinSource& source) : source_(source) {}

  SkinRow ReadSkinRow(const std::string& path, std::u16string_view section, int row);

  // True once the failure sequence has run.
  bool Ended() const { return ended_; }

 private:
  const SkinSource& source_;
  bool ended_ = false;
};

// Full paths of the four layout files in the language `verSel` selects.
struct SkinFilePaths {
  std::string main;
  std::string colour;
  std::string advanced;
  std::string warning;
};
SkinFilePaths SkinFilesFor(const std::string& skinsDir, std::uint8_t verSel);

// The four loaders. Each overwrites every entry it owns (rows that are
// missing become empty) and returns false when its file was missing, in
// which case the failure sequence has run once and the rest is empty.
bool LoadMainSkin(const SkinSource& source, SkinLayout& layout);      // main page, FunctionLabels
bool LoadColourSkin(const SkinSource& source, SkinLayout& layout);    // colour page
bool LoadAdvancedSkin(const SkinSource& source, SkinLayout& layout);  // advanced page, the areas
bool LoadWarningSkin(const SkinSource& source, SkinLayout& layout);   // warning popup

// All four in the order main, colour, advanced, warning, stopping at the
// first missing file (the program is ending then).
bool LoadAllSkins(const SkinSource& source, SkinLayout& layout);

}  // namespace tolvar
