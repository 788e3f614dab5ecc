#include "macros/event_menu.h"

#include <array>
#include <string_view>

#include "macros/macro.h"

namespace tolvar {

namespace {

struct CommandRow {
  int englishId;
  int otherId;
  EventCommand command;
};

constexpr auto Before = EventCommandKind::InsertBefore;
constexpr auto After = EventCommandKind::InsertAfter;

constexpr std::array<CommandRow, 14> kCommands{{
    {32802, 32817, {Before, kLeftButtonCode, kActionPress}},
    {32803, 32818, {Before, kLeftButtonCode, kActionRelease}},
    {32804, 32820, {Before, kRightButtonCode, kActionPress}},
    {32805, 32821, {Before, kRightButtonCode, kActionRelease}},
    {32806, 32823, {Before, kMiddleButtonCode, kActionPress}},
    {32807, 32824, {Before, kMiddleButtonCode, kActionRelease}},
    {32809, 32829, {After, kLeftButtonCode, kActionPress}},
    {32810, 32830, {After, kLeftButtonCode, kActionRelease}},
    {32811, 32831, {After, kRightButtonCode, kActionPress}},
    {32812, 32832, {After, kRightButtonCode, kActionRelease}},
    {32813, 32833, {After, kMiddleButtonCode, kActionPress}},
    {32814, 32834, {After, kMiddleButtonCode, kActionRelease}},
    {32780, 32835, {EventCommandKind::ModifyDelay, 0, 0}},
    {32781, 32836, {EventCommandKind::Delete, 0, 0}},
}};

struct MenuTexts {
  std::u16string_view top, addForward, addBackward, modifyDelay, remove;
  std::array<std::u16string_view, 3> buttons;  // left, right, middle
  std::u16string_view leftDown, down, up;
};

constexpr MenuTexts kEnglishTexts{u"MENU_CN",      u"Add Forward", u"Add Backward",
                                  u"Modify Delay", u"Delete",      {u"Left Button", u"Right Button", u"Mid Button"},
                                  u"Down ",        u"Down",        u"Up"};
constexpr MenuTexts kOtherTexts{u"????",      u"다음 진행    ", u"이전 진행",
                                u"지연 수정", u"삭제",          {u"왼쪽 버튼", u"오른쪽 버튼    ", u"가운데 버튼"},
                                u"아래  ",    u"아래  ",        u"위"};

std::vector<MenuEntry> Build(const MenuTexts& texts, bool english) {
  const auto id = [english](int row) { return english ? kCommands[row].englishId : kCommands[row].otherId; };
  const auto add = [&](std::u16string_view caption, int firstRow) {
    MenuEntry menu{std::u16string(caption), 0, {}};
    for (int b = 0; b < 3; ++b) {
      const std::u16string_view down = b == 0 ? texts.leftDown : texts.down;
      menu.entries.push_back(
          {std::u16string(texts.buttons[b]),
           0,
           {{std::u16string(down), id(firstRow + 2 * b)}, {std::u16string(texts.up), id(firstRow + 2 * b + 1)}}});
    }
    return menu;
  };
  MenuEntry sub{std::u16string(texts.top),
                0,
                {add(texts.addForward, 0),
                 add(texts.addBackward, 6),
                 {std::u16string(texts.modifyDelay), id(12)},
                 {std::u16string(texts.remove), id(13)}}};
  return {sub};
}

}  // namespace

const std::vector<MenuEntry>& EventMenuResource(std::uint8_t verSel) {
  static const std::vector<MenuEntry> english = Build(kEnglishTexts, true);
  static const std::vector<MenuEntry> other = Build(kOtherTexts, false);
  return verSel != 0 ? english : other;
}

std::optional<EventCommand> EventMenuCommand(int id) {
  for (const CommandRow& row : kCommands) {
    if (row.englishId == id || row.otherId == id) return row.command;
  }
  return std::nullopt;
}

}  // namespace tolvar
