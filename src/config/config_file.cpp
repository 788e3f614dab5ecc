#include "config/config_file.h"

#include "base/text.h"
#include "macros/macro_file.h"

namespace tolvar {

namespace {

constexpr std::size_t kShortBuffer = 5;   // at most 4 characters
constexpr std::size_t kLevelBuffer = 10;  // at most 9 characters, the keys of each DPI level
constexpr std::u16string_view kCurConfigKey = u"CurConfig";
constexpr std::u16string_view kLanguageKey = u"VER_SEL";
constexpr std::u16string_view kDpiLevelKey = u"DPI_LEVEL";

using Getter = std::int32_t (*)(const ProfileSettings&, int index);
using Setter = void (*)(ProfileSettings&, int index, std::int32_t value);

// One key of a profile section; `index` is the button or level the key is numbered by.
struct ProfileKey {
  std::u16string name;
  std::size_t bufferChars;
  int index;
  Getter get;
  Setter set;
};

std::uint8_t Low8(std::int32_t value) { return static_cast<std::uint8_t>(value); }

// The keys of a profile section in the order a save writes them.
const std::vector<ProfileKey>& ProfileKeys() {
  static const std::vector<ProfileKey> keys = [] {
    std::vector<ProfileKey> k;
    auto add = [&k](std::u16string name, std::size_t buffer, int index, Getter get, Setter set) {
      k.push_back({std::move(name), buffer, index, get, set});
    };
    for (int i = 0; i < kButtonCount; ++i) {
      add(
          u"K" + DecimalText(i), kShortBuffer, i, [](const ProfileSettings& s, int b) { return s.K[b].load(); },
          [](ProfileSettings& s, int b, std::int32_t v) { s.K[b] = v; });
    }
    add(
        std::u16string(kDpiLevelKey), kShortBuffer, 0, [](const ProfileSettings& s, int) { return s.DPI_LEVEL.load(); },
        [](ProfileSettings& s, int, std::int32_t v) { s.DPI_LEVEL = v; });
    add(
        u"WHEEL_STATUS", kShortBuffer, 0, [](const ProfileSettings& s, int) { return s.WHEEL_STATUS; },
        [](ProfileSettings& s, int, std::int32_t v) { s.WHEEL_STATUS = v; });
    add(
        u"MACRO_MODE2", kShortBuffer, 0, [](const ProfileSettings& s, int) { return s.MACRO_MODE2; },
        [](ProfileSettings& s, int, std::int32_t v) { s.MACRO_MODE2 = v; });
    add(
        u"CYC_7COL_EN", kShortBuffer, 0,
        [](const ProfileSettings& s, int) { return static_cast<std::int32_t>(CycleColourMask(s)); },
        [](ProfileSettings& s, int, std::int32_t v) { SetCycleColourMask(s, v); });
    for (int n = 0; n < kDpiLevelCount; ++n) {
      const std::u16string level = DecimalText(n);
      add(
          u"DPI_SET" + level, kLevelBuffer, n,
          [](const ProfileSettings& s, int l) { return static_cast<std::int32_t>(s.DPI_SET[l]); },
          [](ProfileSettings& s, int l, std::int32_t v) { s.DPI_SET[l] = Low8(v); });
      add(
          u"DPI_SET_EN" + level, kLevelBuffer, n,
          [](const ProfileSettings& s, int l) { return s.DPI_SET_EN[l] ? 1 : 0; },
          [](ProfileSettings& s, int l, std::int32_t v) { s.DPI_SET_EN[l] = v != 0; });
      add(
          u"DPI" + level + u"_R", kLevelBuffer, n, [](const ProfileSettings& s, int l) { return s.DPI_R[l]; },
          [](ProfileSettings& s, int l, std::int32_t v) { s.DPI_R[l] = v; });
      add(
          u"DPI" + level + u"_G", kLevelBuffer, n, [](const ProfileSettings& s, int l) { return s.DPI_G[l]; },
          [](ProfileSettings& s, int l, std::int32_t v) { s.DPI_G[l] = v; });
      add(
          u"DPI" + level + u"_B", kLevelBuffer, n, [](const ProfileSettings& s, int l) { return s.DPI_B[l]; },
          [](ProfileSettings& s, int l, std::int32_t v) { s.DPI_B[l] = v; });
    }
    add(
        u"LED_TYPE", kShortBuffer, 0,
        [](const ProfileSettings& s, int) { return static_cast<std::int32_t>(s.LED_TYPE.load()); },
        [](ProfileSettings& s, int, std::int32_t v) { s.LED_TYPE = Low8(v); });
    add(
        u"LED_CYC_TIME", kShortBuffer, 0,
        [](const ProfileSettings& s, int) { return static_cast<std::int32_t>(s.LED_CYC_TIME.load()); },
        [](ProfileSettings& s, int, std::int32_t v) { s.LED_CYC_TIME = Low8(v); });
    add(
        u"DPI_SPEED", kShortBuffer, 0,
        [](const ProfileSettings& s, int) { return static_cast<std::int32_t>(s.DPI_SPEED); },
        [](ProfileSettings& s, int, std::int32_t v) { s.DPI_SPEED = Low8(v); });
    add(
        u"WHEEL_SPEED", kShortBuffer, 0,
        [](const ProfileSettings& s, int) { return static_cast<std::int32_t>(s.WHEEL_SPEED); },
        [](ProfileSettings& s, int, std::int32_t v) { s.WHEEL_SPEED = Low8(v); });
    add(
        u"USB_SPEED", kShortBuffer, 0,
        [](const ProfileSettings& s, int) { return static_cast<std::int32_t>(s.USB_SPEED); },
        [](ProfileSettings& s, int, std::int32_t v) { s.USB_SPEED = Low8(v); });
    add(
        u"FIRE_TIME", kShortBuffer, 0, [](const ProfileSettings& s, int) { return s.FIRE_TIME; },
        [](ProfileSettings& s, int, std::int32_t v) { s.FIRE_TIME = v; });
    return k;
  }();
  return keys;
}

std::int32_t ReadNumber(IniStore& ini, const std::string& file, std::u16string_view section, std::u16string_view key,
                        std::size_t bufferChars) {
  return ParseDecimal(ini.Read(file, section, key, bufferChars));
}

}  // namespace

std::u16string ProfileSectionName(int profile) { return u"Config" + DecimalText(profile); }

std::u16string LoadSectionName(int profile, ProfileSource source, std::uint8_t verSel) {
  if (source == ProfileSource::OwnSection) return ProfileSectionName(profile);
  if (profile == 5 && verSel == 1) return u"CfgReset_EN5";
  return u"CfgReset" + DecimalText(profile);
}

std::vector<IniEntry> ProfileEntries(std::u16string_view section, const ProfileSettings& settings) {
  std::vector<IniEntry> entries;
  entries.reserve(ProfileKeys().size());
  for (const ProfileKey& key : ProfileKeys()) {
    entries.push_back({std::u16string(section), key.name, DecimalText(key.get(settings, key.index))});
  }
  return entries;
}

ProfileSettings ReadProfileSettings(IniStore& ini, const std::string& file, std::u16string_view section) {
  ProfileSettings settings;
  for (const ProfileKey& key : ProfileKeys()) {
    key.set(settings, key.index, ReadNumber(ini, file, section, key.name, key.bufferChars));
  }
  UpdateDerivedValues(settings);
  return settings;
}

SaveResult SaveProfile(IniStore& ini, const std::string& file, int profile, const ProfileSettings& settings) {
  return SaveResultOf(ini, file, ini.WriteBatch(file, ProfileEntries(ProfileSectionName(profile), settings)));
}

SaveResult SaveProfile(IniStore& ini, const std::string& file, int profile, const ProfileSettings& settings,
                       const UserMacroTable& macros) {
  const std::u16string section = ProfileSectionName(profile);
  std::vector<IniEntry> entries = ProfileEntries(section, settings);
  std::vector<IniEntry> block = MacroBlockEntries(section, macros);
  entries.insert(entries.end(), std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
  return SaveResultOf(ini, file, ini.WriteBatch(file, entries));
}

SaveResult SaveDpiLevel(IniStore& ini, const std::string& file, int profile, std::int32_t dpiLevel) {
  return SaveResultOf(ini, file, ini.Write(file, ProfileSectionName(profile), kDpiLevelKey, DecimalText(dpiLevel)));
}

int ReadCurConfig(IniStore& ini, const std::string& file) {
  return ReadNumber(ini, file, kInitSection, kCurConfigKey, kShortBuffer);
}

SaveResult WriteCurConfig(IniStore& ini, const std::string& file, int curConfig) {
  return SaveResultOf(ini, file, ini.Write(file, kInitSection, kCurConfigKey, DecimalText(curConfig)));
}

std::uint8_t ReadLanguage(IniStore& ini, const std::string& file) {
  return Low8(ReadNumber(ini, file, kInitSection, kLanguageKey, kShortBuffer));
}

SaveResult WriteLanguage(IniStore& ini, const std::string& file, std::uint8_t verSel) {
  return SaveResultOf(ini, file, ini.Write(file, kInitSection, kLanguageKey, DecimalText(verSel)));
}

bool HoldsProfile(IniStore& ini, const std::string& file, int profile) {
  return !ini.Read(file, ProfileSectionName(profile), ProfileKeys().front().name, kShortBuffer).empty();
}

}  // namespace tolvar
