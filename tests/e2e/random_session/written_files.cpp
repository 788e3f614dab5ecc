#include "written_files.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "base/text.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "config/profile_settings.h"
#include "macros/event_edit.h"
#include "macros/key_table.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/child_process.h"

namespace tolvar::testing {

namespace {

// Read buffers wide enough to see a value longer than the program's own
// buffers would take, so a value that is too long shows as such.
constexpr std::size_t kWideBuffer = 64;
constexpr std::size_t kMacroBuffer = 2 * kMacroTextChars;

constexpr std::int32_t kColourChannelMax = 15;  // (255 − c) div 16
constexpr int kMacroFieldChars = 3;
constexpr int kNameFields = 2 * kMacroNameUnits;

// The profile keys besides K0..K5, by name without digits: the ranges the
// editing operations produce.
constexpr KeyRange kProfileKeyRanges[] = {
    {"DPI_LEVEL", 0, kDpiLevelCount - 1},
    {"WHEEL_STATUS", 0, 1},
    {"MACRO_MODE", 0, 0},                             // MACRO_MODE2 is kept as loaded; every delivered profile holds 0
    {"CYC_COL_EN", 1, (1 << kCycleColourCount) - 1},  // at least one cycle colour stays on
    {"DPI_SET", 0, kDpiStepCount - 1},
    {"DPI_SET_EN", 0, 1},
    {"DPI_R", 0, kColourChannelMax},
    {"DPI_G", 0, kColourChannelMax},
    {"DPI_B", 0, kColourChannelMax},
    {"LED_TYPE", 0, 3},
    {"LED_CYC_TIME", 0, 5},
    {"DPI_SPEED", 0, 9},
    {"WHEEL_SPEED", 0, 9},
    {"USB_SPEED", 0, 3},
    {"FIRE_TIME", 0, kFireTimeMax},
};

constexpr KeyRange kInitKeyRanges[] = {
    {"CurConfig", 1, 5},
    {"VER_SEL", 0, 1},
};

constexpr int kFirstUserProfile = 1;
constexpr int kAppliedProfile = 6;

std::string WithoutDigits(const std::string& key) {
  std::string name;
  std::copy_if(key.begin(), key.end(), std::back_inserter(name),
               [](char c) { return !std::isdigit(static_cast<unsigned char>(c)); });
  return name;
}

// The number of "%d" text, or nothing for any other text.
std::optional<std::int64_t> DecimalValue(const std::string& text) {
  const std::size_t digits = text.starts_with('-') ? 1 : 0;
  if (text.size() == digits || text.size() > digits + 10) return std::nullopt;
  if (!std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                   [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    return std::nullopt;
  }
  if (text[digits] == '0' && (text.size() > digits + 1 || digits == 1)) return std::nullopt;
  return std::stoll(text);
}

std::string Where(const std::string& file, const std::u16string& section, const std::string& key) {
  return file + " [" + Utf16ToUtf8(section) + "] " + key;
}

// One reader for every check, so each file is parsed once while it is unchanged.
std::string Read(const std::string& file, const std::u16string& section, const std::string& key,
                 std::size_t buffer = kWideBuffer) {
  static IniFileStore ini;
  return Utf16ToUtf8(ini.Read(file, section, Utf8ToUtf16(key), buffer));
}

// Checks one value against [min, max]; returns its number when it is "%d" text.
std::optional<std::int64_t> CheckValue(const std::string& file, const std::u16string& section, const std::string& key,
                                       std::int64_t min, std::int64_t max, std::vector<std::string>& problems) {
  const std::string text = Read(file, section, key);
  const std::optional<std::int64_t> value = DecimalValue(text);
  if (!value) {
    problems.push_back(Where(file, section, key) + " = \"" + text + "\" is not a decimal number");
  } else if (*value < min || *value > max) {
    problems.push_back(Where(file, section, key) + " = " + text + " lies outside " + std::to_string(min) + ".." +
                       std::to_string(max));
  }
  return value;
}

// The names of every key of a profile section, the macro block aside.
std::vector<std::string> ProfileKeyNames() {
  std::vector<std::string> names;
  for (const IniEntry& entry : ProfileEntries(u"Config1", DefaultProfile(0))) {
    names.push_back(Utf16ToUtf8(entry.key));
  }
  return names;
}

const KeyRange* RangeOf(const std::string& key) {
  const std::string name = WithoutDigits(key);
  for (const KeyRange& range : kProfileKeyRanges) {
    if (name == range.key) return &range;
  }
  return nullptr;
}

bool IsButtonKey(const std::string& key) { return WithoutDigits(key) == "K"; }

bool HasSection(const std::string& file, const std::string& section) {
  const std::vector<std::string> names = SectionNames(file);
  return std::find(names.begin(), names.end(), section) != names.end();
}

}  // namespace

std::vector<std::string> SectionNames(const std::string& file) {
  std::vector<std::string> names;
  for (const std::string& line : ReadLines(file)) {
    if (line.starts_with('[') && line.find(']') != std::string::npos) {
      names.push_back(line.substr(1, line.find(']') - 1));
    }
  }
  return names;
}

WrittenFileChecker::WrittenFileChecker(std::string deliveredConfig) : deliveredConfig_(std::move(deliveredConfig)) {
  // The codes the popups offer, and those the delivered profiles hold.
  for (int item = 1; item <= kMainPopupItems; ++item) {
    if (const std::int32_t code = MainPopupItemCode(item); code != 0) buttonCodes_.insert(code);
    for (const std::int32_t code : PopupGroupCodes(item, kMaxUserMacros)) buttonCodes_.insert(code);
  }
  IniFileStore ini;
  for (const std::string& section : SectionNames(deliveredConfig_)) {
    for (int button = 0; button < kButtonCount; ++button) {
      const std::u16string text =
          ini.Read(deliveredConfig_, Utf8ToUtf16(section), u"K" + Utf8ToUtf16(std::to_string(button)), 5);
      if (!text.empty()) buttonCodes_.insert(ParseDecimal(text));
    }
  }
}

void WrittenFileChecker::CheckProfileSection(const std::string& file, const std::u16string& section,
                                             std::vector<std::string>& problems) const {
  for (const std::string& key : ProfileKeyNames()) {
    if (IsButtonKey(key)) {
      const std::string text = Read(file, section, key);
      const std::optional<std::int64_t> code = DecimalValue(text);
      if (!code || !buttonCodes_.contains(static_cast<std::int32_t>(*code))) {
        problems.push_back(Where(file, section, key) + " = \"" + text + "\" is no button function the popups offer");
      }
    } else if (const KeyRange* range = RangeOf(key)) {
      CheckValue(file, section, key, range->min, range->max, problems);
    } else {
      problems.push_back("no range is known for the key " + key);
    }
  }
  if (!Read(file, section, "macroNum").empty()) CheckMacroBlock(file, section, problems);
}

void WrittenFileChecker::CheckMacroBlock(const std::string& file, const std::u16string& section,
                                         std::vector<std::string>& problems) const {
  const std::optional<std::int64_t> count = CheckValue(file, section, "macroNum", 0, kMaxUserMacros, problems);
  if (!count) return;
  for (int i = 0; i < *count && i < kMaxUserMacros; ++i) {
    const std::string key = std::to_string(i);
    const std::string where = Where(file, section, key);
    const std::string text = Read(file, section, key, kMacroBuffer);
    if (text.size() != kMacroTextChars ||
        !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
      problems.push_back(where + ": not " + std::to_string(kMacroTextChars) + " digits (" +
                         std::to_string(text.size()) + " characters)");
      continue;
    }
    bool fieldsOk = true;
    for (std::size_t at = 0; at < text.size(); at += kMacroFieldChars) {
      if (std::stoi(text.substr(at, kMacroFieldChars)) > 255) {
        problems.push_back(where + ": field " + std::to_string(at / kMacroFieldChars) + " exceeds 255");
        fieldsOk = false;
        break;
      }
    }
    if (!fieldsOk) continue;
    // The name's last unit is its terminating NUL.
    if (text.substr((kNameFields - 2) * kMacroFieldChars, 2 * kMacroFieldChars) != "000000") {
      problems.push_back(where + ": the name is not terminated");
    }
    const Macro macro = DecodeMacro(Utf8ToUtf16(text));
    if (macro.mode != 0 && macro.mode != kRepeatModeBit && macro.mode != kHeldModeBit) {
      problems.push_back(where + ": mode " + std::to_string(macro.mode));
    }
    if (macro.eventCount > kMaxEditedEvents) {
      problems.push_back(where + ": " + std::to_string(macro.eventCount) + " events");
    }
    for (int e = 0; e < macro.eventCount && e < kMacroEventSlots; ++e) {
      const MacroEvent& event = macro.events[static_cast<std::size_t>(e)];
      if (event.action != kActionPress && event.action != kActionRelease) {
        problems.push_back(where + ": event " + std::to_string(e) + " has action " + std::to_string(event.action));
      }
      if (KeyName(event.code) == KeyName(0)) {
        problems.push_back(where + ": event " + std::to_string(e) + " has the unknown code " +
                           std::to_string(event.code));
      }
    }
  }
}

std::vector<std::string> WrittenFileChecker::CheckConfigFile(const std::string& file) const {
  std::vector<std::string> problems;
  for (const KeyRange& range : kInitKeyRanges) {
    CheckValue(file, std::u16string(kInitSection), range.key, range.min, range.max, problems);
  }
  for (const std::string& section : SectionNames(file)) {
    if (!section.starts_with("Config")) continue;
    const std::optional<std::int64_t> profile = DecimalValue(section.substr(6));
    if (!profile || *profile < kFirstUserProfile || *profile > kAppliedProfile) {
      problems.push_back(file + ": a section [" + section + "] was written");
      continue;
    }
    CheckProfileSection(file, Utf8ToUtf16(section), problems);
  }
  for (int profile = kFirstUserProfile; profile <= kAppliedProfile; ++profile) {
    if (!HasSection(file, "Config" + std::to_string(profile)) &&
        HasSection(deliveredConfig_, "Config" + std::to_string(profile))) {
      problems.push_back(file + ": the section [Config" + std::to_string(profile) + "] is gone");
    }
  }
  // The reset sections come with the file and are never written.
  for (const std::string& section : SectionNames(deliveredConfig_)) {
    if (!section.starts_with("CfgReset")) continue;
    for (const std::string& key : ProfileKeyNames()) {
      const std::u16string name = Utf8ToUtf16(section);
      if (Read(file, name, key) != Read(deliveredConfig_, name, key)) {
        problems.push_back(Where(file, name, key) + " changed: the reset sections are never written");
      }
    }
  }
  return problems;
}

std::vector<std::string> WrittenFileChecker::CheckExportedProfile(const std::string& file) const {
  std::vector<std::string> problems;
  const std::string exchange = "Config" + std::to_string(kExchangeProfile);
  if (SectionNames(file) != std::vector<std::string>{exchange}) {
    problems.push_back(file + ": an exported profile holds the one section [" + exchange + "]");
  }
  CheckProfileSection(file, Utf8ToUtf16(exchange), problems);
  if (Read(file, Utf8ToUtf16(exchange), "macroNum").empty()) {
    problems.push_back(file + ": the exported profile has no macro block");
  }
  return problems;
}

std::vector<std::string> WrittenFileChecker::CheckMacroFile(const std::string& file) const {
  std::vector<std::string> problems;
  if (Read(file, std::u16string(kMacroSection), "macroNum").empty()) {
    problems.push_back(file + ": no macro count");
  } else {
    CheckMacroBlock(file, std::u16string(kMacroSection), problems);
  }
  return problems;
}

}  // namespace tolvar::testing
