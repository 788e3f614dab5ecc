// The macro event list as text lines, and the edits the event editor makes
// to one macro: inserting a mouse-button event, deleting an event, and the
// delay typed into a delay line.
//
// Lines: for event i, when i > 0, the delay line of event i − 1
// ("    120ms"), then the key line ("[↓]A", "[↑]A", or the name alone). So
// line 2i is the key line of event i and line 2i + 1 the delay after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "macros/macro.h"

namespace tolvar {

// The most events an insert may leave in a macro.
constexpr int kMaxEditedEvents = 254;
constexpr std::uint16_t kInsertedEventDelay = 30;
inline constexpr std::u16string_view kOverflowMessage = u"Overflow!!!";

std::u16string DelayLineText(std::uint16_t delay);
std::u16string KeyLineText(const MacroEvent& event);

// The event a list line belongs to: the line divided by 2, toward zero.
constexpr int EventOfLine(int line) { return line / 2; }

// Inserts (code, action) with a 30 ms delay as event `position` (kept within
// 0 .. eventCount), moving the later events up. False, and nothing changed,
// when the macro would then hold more than 254 events.
bool InsertEvent(Macro& macro, int position, std::uint8_t code, std::uint8_t action);

// Removes event `index`, moving the later events down; with `index` at or
// past the last event only the count drops. A macro without events stays so.
void DeleteEvent(Macro& macro, int index);

// The delay typed into a delay line: the text before the first "ms", read
// with ParseDecimal; its low byte and the low byte of the value ÷ 256
// (toward zero) make the 16-bit delay, so 70000 gives 4464 and −5 gives 251.
std::uint16_t DelayFromLineText(std::u16string_view text);

}  // namespace tolvar
