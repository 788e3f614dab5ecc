#include "macros/key_table.h"

#include <array>
#include <string_view>

#include "base/text.h"

namespace tolvar {

namespace {

enum class NameRule {
  Fixed,     // the row's name
  Letter,    // "A".."Z" from the first usage of the row on
  Numbered,  // the row's name followed by firstNumber, firstNumber + 1, ...
};

struct KeyRow {
  std::uint8_t firstUsage;
  std::uint8_t count;    // consecutive usage IDs with consecutive virtual-key codes
  std::int16_t firstVk;  // -1: no virtual-key code
  NameRule rule;
  std::u16string_view name;
  int firstNumber;
};

constexpr int kNoVk = -1;

constexpr KeyRow Single(std::uint8_t usage, std::u16string_view name, std::int16_t vk) {
  return {usage, 1, vk, NameRule::Fixed, name, 0};
}

constexpr KeyRow kKeyTable[] = {
    {4, 26, 65, NameRule::Letter, u"", 0},
    {30, 9, 49, NameRule::Numbered, u"", 1},
    {58, 12, 112, NameRule::Numbered, u"F", 1},
    {89, 9, 97, NameRule::Numbered, u"NUMPAD", 1},
    {104, 12, 124, NameRule::Numbered, u"F", 13},
    Single(39, u"0", 48),
    Single(40, u"RETURN", 13),
    Single(41, u"ESCAPE", 27),
    Single(42, u"BACK", 8),
    Single(43, u"TAB", 9),
    Single(44, u"SPACE", 32),
    Single(45, u"-", 189),
    Single(46, u"+", 187),
    Single(47, u"[{", 219),
    Single(48, u"]}", 221),
    Single(49, u"\\|", 220),
    Single(50, u"`~", 192),
    Single(51, u";:", 186),
    Single(52, u" ' ", 222),
    Single(54, u",", 188),
    Single(55, u".", 190),
    Single(56, u"/?", 191),
    Single(57, u"CAPITAL", 20),
    Single(70, u"SNAPSHOT", 44),
    Single(71, u"SCROLL", 145),
    Single(72, u"PAUSE", 19),
    Single(73, u"INSERT", 45),
    Single(74, u"HOME", 36),
    Single(75, u"PRIOR", 33),
    Single(76, u"DELETE", 46),
    Single(77, u"END", 35),
    Single(78, u"NEXT", 34),
    Single(79, u"RIGHT", 39),
    Single(80, u"LEFT", 37),
    Single(81, u"DOWN", 40),
    Single(82, u"UP", 38),
    Single(83, u"NUMLOCK", 144),
    Single(84, u"DIVIDE", 111),
    Single(85, u"MULTIPLY", 106),
    Single(86, u"SUBTRACT", 109),
    Single(87, u"ADD", 107),
    Single(98, u"NUMPAD0", 96),
    Single(99, u"DECIMAL", 110),
    Single(101, u"APPS", 93),
    Single(116, u"EXECUTE", 43),
    Single(117, u"HELP", 47),
    Single(118, u"MENU", kNoVk),
    Single(119, u"SELECT", 41),
    Single(156, u"CLEAR", 12),
    Single(159, u"SEPARATOR", 108),
    Single(224, u"LCONTROL", 162),
    Single(225, u"LSHIFT", 160),
    Single(226, u"LMENU", 164),
    Single(227, u"LWIN", 91),
    Single(228, u"RCONTROL", 163),
    Single(229, u"RSHIFT", 161),
    Single(230, u"RMENU", 165),
    Single(231, u"RWIN", 92),
    Single(240, u"L-KEY", 240),
    Single(241, u"R-KEY", 241),
    Single(242, u"M-KEY", 242),
};

// The row holding a usage ID or a virtual-key code; null when none does.
const KeyRow* RowWithUsage(std::uint8_t usage) {
  for (const KeyRow& row : kKeyTable) {
    if (usage >= row.firstUsage && usage < row.firstUsage + row.count) return &row;
  }
  return nullptr;
}

const KeyRow* RowWithVk(std::uint8_t vk) {
  for (const KeyRow& row : kKeyTable) {
    if (row.firstVk != kNoVk && vk >= row.firstVk && vk < row.firstVk + row.count) return &row;
  }
  return nullptr;
}

// Both directions as 256-entry tables, built once from the key table.
struct Conversions {
  std::array<std::uint8_t, 256> toUsage{};
  std::array<std::uint8_t, 256> toVk{};
  Conversions() {
    for (int code = 0; code < 256; ++code) {
      const auto c = static_cast<std::uint8_t>(code);
      const KeyRow* byVk = RowWithVk(c);
      toUsage[code] = byVk ? static_cast<std::uint8_t>(byVk->firstUsage + (c - byVk->firstVk)) : c;
      const KeyRow* byUsage = RowWithUsage(c);
      toVk[code] = (byUsage && byUsage->firstVk != kNoVk)
                       ? static_cast<std::uint8_t>(byUsage->firstVk + (c - byUsage->firstUsage))
                       : c;
    }
  }
};

const Conversions& TheConversions() {
  static const Conversions conversions;
  return conversions;
}

// Kernel key codes (linux/input-event-codes.h) to the virtual-key codes of
// the US layout: `count` consecutive key codes with consecutive codes.
struct PositionRow {
  std::uint8_t firstKey;
  std::uint8_t count;
  std::uint8_t firstVk;
};

constexpr PositionRow kPositions[] = {
    {1, 1, 27},                                  // Escape
    {2, 9, '1'},    {11, 1, '0'}, {12, 1, 189},  // 1..9, 0, -
    {13, 1, 187},   {14, 1, 8},   {15, 1, 9},    // =, Backspace, Tab
    {16, 1, 'Q'},   {17, 1, 'W'}, {18, 1, 'E'}, {19, 1, 'R'},  {20, 1, 'T'}, {21, 1, 'Y'}, {22, 1, 'U'}, {23, 1, 'I'},
    {24, 1, 'O'},   {25, 1, 'P'}, {26, 1, 219}, {27, 1, 221},  {28, 1, 13},  {29, 1, 162},  // [ ] Enter LeftCtrl
    {30, 1, 'A'},   {31, 1, 'S'}, {32, 1, 'D'}, {33, 1, 'F'},  {34, 1, 'G'}, {35, 1, 'H'}, {36, 1, 'J'}, {37, 1, 'K'},
    {38, 1, 'L'},   {39, 1, 186}, {40, 1, 222}, {41, 1, 192},  {42, 1, 160},  // ; ' ` LeftShift
    {43, 1, 220},                                                             // backslash (ISO: #)
    {44, 1, 'Z'},   {45, 1, 'X'}, {46, 1, 'C'}, {47, 1, 'V'},  {48, 1, 'B'}, {49, 1, 'N'}, {50, 1, 'M'}, {51, 1, 188},
    {52, 1, 190},   {53, 1, 191}, {54, 1, 161},                 // , . / RightShift
    {55, 1, 106},   {56, 1, 164}, {57, 1, 32},  {58, 1, 20},    // KP* LeftAlt Space Caps
    {59, 10, 112},                                              // F1..F10
    {69, 1, 144},   {70, 1, 145},                               // NumLock ScrollLock
    {74, 1, 109},   {78, 1, 107},                               // KP- KP+
    {87, 2, 122},                                               // F11 F12
    {96, 1, 13},    {97, 1, 163}, {98, 1, 111}, {99, 1, 44},    // KPEnter RightCtrl KP/ Print
    {100, 1, 165},                                              // RightAlt (kr104: Hangul)
    {102, 1, 36},   {103, 1, 38}, {104, 1, 33}, {105, 1, 37},   // Home Up PageUp Left
    {106, 1, 39},   {107, 1, 35}, {108, 1, 40}, {109, 1, 34},   // Right End Down PageDown
    {110, 1, 45},   {111, 1, 46}, {119, 1, 19}, {121, 1, 108},  // Insert Delete Pause KP,
    {125, 1, 91},   {126, 1, 92}, {127, 1, 93},                 // LeftMeta RightMeta Menu
    {132, 1, 41},   {134, 1, 43}, {138, 1, 47},                 // Select Execute Help
    {183, 12, 124},                                             // F13..F24
};

// The number pad: 7 8 9 4 5 6 1 2 3 0 and its decimal key, with and
// without Num Lock.
struct PadKey {
  std::uint8_t key;
  std::uint8_t digitVk;
  std::uint8_t navigationVk;
};

constexpr PadKey kPadKeys[] = {
    {71, 103, 36}, {72, 104, 38}, {73, 105, 33}, {75, 100, 37}, {76, 101, 12}, {77, 102, 39},
    {79, 97, 35},  {80, 98, 40},  {81, 99, 34},  {82, 96, 45},  {83, 110, 46},
};

}  // namespace

int VirtualKeyOfPosition(int kernelKeyCode, bool numLock) {
  for (const PadKey& pad : kPadKeys) {
    if (pad.key == kernelKeyCode) return numLock ? pad.digitVk : pad.navigationVk;
  }
  for (const PositionRow& row : kPositions) {
    if (kernelKeyCode >= row.firstKey && kernelKeyCode < row.firstKey + row.count) {
      return row.firstVk + (kernelKeyCode - row.firstKey);
    }
  }
  return 0;
}

std::uint8_t VkToUsage(std::uint8_t virtualKey) { return TheConversions().toUsage[virtualKey]; }

std::uint8_t UsageToVk(std::uint8_t usage) { return TheConversions().toVk[usage]; }

std::u16string KeyName(std::uint8_t code) {
  const KeyRow* row = RowWithUsage(code);
  if (row == nullptr) return u"NON-AVAILABLE";
  const int offset = code - row->firstUsage;
  switch (row->rule) {
    case NameRule::Letter:
      return std::u16string(1, static_cast<char16_t>(u'A' + offset));
    case NameRule::Numbered:
      return std::u16string(row->name) + DecimalText(row->firstNumber + offset);
    case NameRule::Fixed:
      break;
  }
  return std::u16string(row->name);
}

}  // namespace tolvar
