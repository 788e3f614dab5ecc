#include "macros/macro_text.h"

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "macros/key_table.h"

namespace tolvar {

namespace {

constexpr std::size_t kFieldChars = 3;
constexpr std::size_t kFieldCount = kMacroTextChars / kFieldChars;  // 1064

// The bytes of a macro in file order, and back.
std::vector<std::uint8_t> MacroBytes(const Macro& macro) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kFieldCount);
  for (char16_t unit : macro.name) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  bytes.push_back(macro.mode);
  bytes.push_back(static_cast<std::uint8_t>(macro.repeatCount & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(macro.repeatCount >> 8));
  bytes.push_back(macro.eventCount);
  for (const MacroEvent& event : macro.events) {
    bytes.push_back(UsageToVk(event.code));
    bytes.push_back(event.action);
    bytes.push_back(static_cast<std::uint8_t>(event.delay & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(event.delay >> 8));
  }
  return bytes;
}

Macro MacroFromBytes(const std::vector<std::uint8_t>& bytes) {
  std::size_t at = 0;
  auto next = [&bytes, &at] { return bytes[at++]; };
  auto next16 = [&next] {
    const std::uint16_t low = next();
    return static_cast<std::uint16_t>(low | (next() << 8));
  };
  Macro macro;
  for (char16_t& unit : macro.name) unit = next16();
  macro.name.back() = 0;
  macro.mode = next();
  macro.repeatCount = next16();
  macro.eventCount = next();
  for (MacroEvent& event : macro.events) {
    event.code = VkToUsage(next());
    event.action = next();
    event.delay = next16();
  }
  return macro;
}

void AppendField(std::u16string& text, std::uint8_t value) {
  text += static_cast<char16_t>(u'0' + value / 100);
  text += static_cast<char16_t>(u'0' + value / 10 % 10);
  text += static_cast<char16_t>(u'0' + value % 10);
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::u16string EncodeMacro(const Macro& macro) {
  std::u16string text;
  text.reserve(kMacroTextChars);
  for (std::uint8_t byte : MacroBytes(macro)) AppendField(text, byte);
  return text;
}

Macro DecodeMacro(std::u16string_view text) {
  std::vector<std::uint8_t> bytes(kFieldCount, 0);
  for (std::size_t m = 0; m < kFieldCount && m * kFieldChars < text.size(); ++m) {
    bytes[m] = static_cast<std::uint8_t>(ParseDecimal(text.substr(m * kFieldChars, kFieldChars)));
  }
  return MacroFromBytes(bytes);
}

std::array<char16_t, kMacroNameUnits> MacroNameFrom(std::u16string_view name) {
  std::size_t length = std::min<std::size_t>(name.size(), kMacroNameUnits - 1);
  if (length < name.size() && length > 0 && IsHighSurrogate(name[length - 1])) --length;
  std::array<char16_t, kMacroNameUnits> units{};
  std::copy_n(name.begin(), length, units.begin());
  return units;
}

std::u16string MacroNameText(const Macro& macro) {
  std::u16string_view units(macro.name.data(), macro.name.size());
  return std::u16string(units.substr(0, units.find(u'\0')));
}

}  // namespace tolvar
