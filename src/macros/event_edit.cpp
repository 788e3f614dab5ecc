#include "macros/event_edit.h"

#include <algorithm>

#include "base/text.h"
#include "macros/key_table.h"

namespace tolvar {

std::u16string DelayLineText(std::uint16_t delay) { return u"    " + DecimalText(delay) + u"ms"; }

std::u16string KeyLineText(const MacroEvent& event) {
  const std::u16string name = KeyName(event.code);
  if (event.action == kActionPress) return u"[↓]" + name;
  if (event.action == kActionRelease) return u"[↑]" + name;
  return name;
}

bool InsertEvent(Macro& macro, int position, std::uint8_t code, std::uint8_t action) {
  const int count = macro.eventCount;
  if (count + 1 > kMaxEditedEvents) return false;
  position = std::clamp(position, 0, count);
  std::copy_backward(macro.events.begin() + position, macro.events.begin() + count, macro.events.begin() + count + 1);
  macro.events[position] = MacroEvent{code, action, kInsertedEventDelay};
  macro.eventCount = static_cast<std::uint8_t>(count + 1);
  return true;
}

void DeleteEvent(Macro& macro, int index) {
  const int count = std::max(macro.eventCount - 1, 0);
  if (index >= 0 && index < count) {
    std::copy(macro.events.begin() + index + 1, macro.events.begin() + count + 1, macro.events.begin() + index);
  }
  macro.eventCount = static_cast<std::uint8_t>(count);
}

std::uint16_t DelayFromLineText(std::u16string_view text) {
  text = text.substr(0, text.find(u"ms"));
  const std::int32_t value = ParseDecimal(text);
  const auto low = static_cast<std::uint8_t>(value);
  const auto high = static_cast<std::uint8_t>(value / 256);
  return static_cast<std::uint16_t>(low | (high << 8));
}

}  // namespace tolvar
