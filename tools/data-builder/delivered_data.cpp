#include "delivered_data.h"

#include <filesystem>
#include <initializer_list>
#include <system_error>
#include <vector>

#include "config/config_file.h"
#include "config/profile_settings.h"
#include "macros/macro.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"

namespace tolvar {

namespace {

// ---- Macros ----

// Keyboard usage IDs of the keys the delivered macros use.
enum Usage : std::uint8_t {
  kA = 4,
  kC = 6,
  kE = 8,
  kH = 11,
  kI = 12,
  kL = 15,
  kO = 18,
  kS = 22,
  kV = 25,
  kW = 26,
  kX = 27,
  kZ = 29,
  kTab = 43,
  kDown = 81,
  kLeftCtrl = 224,
  kLeftShift = 225,
  kLeftAlt = 226,
};

constexpr std::uint16_t kKeyGap = 30;  // ms between key events
constexpr std::uint16_t kClickHold = 20;
constexpr std::uint16_t kClickGap = 60;

using Events = std::vector<MacroEvent>;

Events Tap(std::uint8_t key) { return {{key, kActionPress, kKeyGap}, {key, kActionRelease, kKeyGap}}; }

// A key pressed while a modifier is held.
Events Chord(std::uint8_t modifier, std::uint8_t key) {
  Events events{{modifier, kActionPress, kKeyGap}};
  for (const MacroEvent& e : Tap(key)) events.push_back(e);
  events.push_back({modifier, kActionRelease, kKeyGap});
  return events;
}

Events Clicks(int count) {
  Events events;
  for (int i = 0; i < count; ++i) {
    events.push_back({kLeftButtonCode, kActionPress, kClickHold});
    events.push_back({kLeftButtonCode, kActionRelease, kClickGap});
  }
  return events;
}

Events Typed(std::initializer_list<Events> parts) {
  Events events;
  for (const Events& part : parts) events.insert(events.end(), part.begin(), part.end());
  return events;
}

Macro MakeMacro(std::u16string_view name, const Events& events, std::uint8_t mode = 0, std::uint16_t repeatCount = 1) {
  Macro m;
  m.name = MacroNameFrom(name);
  m.mode = mode;
  m.repeatCount = repeatCount;
  m.eventCount = static_cast<std::uint8_t>(events.size());
  std::copy(events.begin(), events.end(), m.events.begin());
  return m;
}

MacroTable Table(std::initializer_list<Macro> macros) {
  MacroTable table;
  for (const Macro& m : macros) table.slots[static_cast<std::size_t>(table.count++)] = m;
  return table;
}

// Button functions 31..38 play these, in this order.
MacroTable FixedMacros() {
  return Table({
      MakeMacro(u"Copy", Chord(kLeftCtrl, kC)),
      MakeMacro(u"Paste", Chord(kLeftCtrl, kV)),
      MakeMacro(u"Cut", Chord(kLeftCtrl, kX)),
      MakeMacro(u"Undo", Chord(kLeftCtrl, kZ)),
      MakeMacro(u"Select all", Chord(kLeftCtrl, kA)),
      MakeMacro(u"Double click", Clicks(2)),
      MakeMacro(u"Triple click", Clicks(3)),
      MakeMacro(u"Switch window", Chord(kLeftAlt, kTab)),
  });
}

MacroTable EnglishMacros() {
  return Table({
      MakeMacro(u"Hello", Typed({Chord(kLeftShift, kH), Tap(kE), Tap(kL), Tap(kL), Tap(kO)})),
      MakeMacro(u"Save file", Chord(kLeftCtrl, kS)),
      MakeMacro(u"Arrow down x5", Tap(kDown), 1, 5),
  });
}

MacroTable OtherLanguageMacros() {
  return Table({
      MakeMacro(u"인사", Typed({Chord(kLeftShift, kH), Tap(kI)})),
      MakeMacro(u"탭 닫기", Chord(kLeftCtrl, kW)),
  });
}

// ---- Profiles ----

struct LevelColour {
  std::int32_t r, g, b;  // 4-bit, inverted: 0 is full intensity
};

void SetButtons(ProfileSettings& s, const std::array<std::int32_t, kButtonCount>& k) {
  for (int i = 0; i < kButtonCount; ++i) s.K[i] = k[i];
}

void SetLevels(ProfileSettings& s, const std::array<std::uint8_t, kDpiLevelCount>& steps,
               const std::array<LevelColour, kDpiLevelCount>& colours) {
  for (int n = 0; n < kDpiLevelCount; ++n) {
    s.DPI_SET[n] = steps[n];
    s.DPI_R[n] = colours[n].r;
    s.DPI_G[n] = colours[n].g;
    s.DPI_B[n] = colours[n].b;
  }
}

// 200 to 1200 DPI in fine steps, a steady light (mode 2), a slower pointer
// and a sniper button.
ProfileSettings LowDpiPrecision() {
  ProfileSettings s = DefaultProfile(0);
  SetButtons(s, {1, 2, 3, 5, 4, 14});
  SetLevels(s, {0, 1, 2, 3, 4, 5}, {{{15, 15, 0}, {15, 11, 0}, {15, 7, 0}, {15, 3, 0}, {15, 0, 3}, {15, 0, 7}}});
  s.DPI_LEVEL = 1;
  s.LED_TYPE = 2;
  SetCycleColourMask(s, 0b0000010);  // blue
  s.DPI_SPEED = 3;
  s.WHEEL_SPEED = 1;
  s.USB_SPEED = 0;
  UpdateDerivedValues(s);
  return s;
}

// 1600 to 4800 DPI with DPI up and down on the side buttons, warm colours.
ProfileSettings HighDpi() {
  ProfileSettings s = DefaultProfile(0);
  SetButtons(s, {1, 2, 3, 15, 16, 6});
  SetLevels(s, {6, 7, 8, 9, 10, 11}, {{{0, 15, 15}, {0, 7, 15}, {0, 3, 15}, {0, 0, 15}, {0, 0, 7}, {0, 0, 0}}});
  s.DPI_LEVEL = 3;
  s.LED_TYPE = 1;
  s.LED_CYC_TIME = 4;
  SetCycleColourMask(s, 0b0010001);  // yellow and red
  s.DPI_SPEED = 6;
  s.WHEEL_SPEED = 2;
  s.USB_SPEED = 0;
  s.FIRE_TIME = 30;
  UpdateDerivedValues(s);
  return s;
}

// The fastest colour cycle through all seven colours, vivid levels, media
// keys on the side buttons.
ProfileSettings LightingShow() {
  ProfileSettings s = DefaultProfile(0);
  SetButtons(s, {1, 2, 3, 24, 25, 29});
  SetLevels(s, {2, 4, 5, 7, 9, 11}, {{{0, 15, 15}, {0, 0, 15}, {15, 0, 15}, {15, 0, 0}, {15, 15, 0}, {0, 15, 0}}});
  s.DPI_LEVEL = 2;
  s.LED_TYPE = 1;
  s.LED_CYC_TIME = 5;
  SetCycleColourMask(s, 0x7F);
  s.FIRE_TIME = 100;
  UpdateDerivedValues(s);
  return s;
}

// Side buttons play the first two user macros; the sixth button plays the
// third English macro, or switches windows where the macro file has only
// two. A slow breathing light (mode 0).
ProfileSettings MacroReady(bool english) {
  ProfileSettings s = DefaultProfile(0);
  SetButtons(s, {1, 2, 3, 41, 42, english ? 43 : 38});
  s.DPI_LEVEL = 2;
  s.LED_TYPE = 0;
  s.LED_CYC_TIME = 1;
  s.FIRE_TIME = 80;
  UpdateDerivedValues(s);
  return s;
}

void Append(std::vector<IniEntry>& entries, std::vector<IniEntry> more) {
  entries.insert(entries.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

std::vector<IniEntry> ConfigEntries() {
  std::vector<IniEntry> entries{
      {u"Init", u"CurConfig", u"1"},
      {u"Init", u"VER_SEL", u"1"},
  };
  const ProfileSettings profiles[] = {DefaultProfile(0), LowDpiPrecision(), HighDpi(), LightingShow(),
                                      MacroReady(true)};
  for (int p = 1; p <= 5; ++p) Append(entries, ProfileEntries(ProfileSectionName(p), profiles[p - 1]));
  for (int p = 2; p <= 5; ++p) {
    const ProfileSettings& reset = p == 5 ? MacroReady(false) : profiles[p - 1];
    Append(entries, ProfileEntries(LoadSectionName(p, ProfileSource::ResetSection, 0), reset));
  }
  Append(entries, ProfileEntries(LoadSectionName(5, ProfileSource::ResetSection, 1), MacroReady(true)));
  return entries;
}

// Writes one file anew: whatever an earlier run left there is replaced.
bool WriteFresh(IniStore& ini, const std::string& path, const std::vector<IniEntry>& entries) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::filesystem::remove(path, error);
  return ini.WriteBatch(path, entries);
}

}  // namespace

bool WriteDeliveredData(const std::string& root) {
  IniFileStore ini;
  const std::vector<IniEntry> files[] = {
      ConfigEntries(),
      MacroBlockEntries(kMacroSection, FixedMacros()),
      MacroBlockEntries(kMacroSection, EnglishMacros()),
      MacroBlockEntries(kMacroSection, OtherLanguageMacros()),
  };
  bool ok = true;
  for (std::size_t i = 0; i < kDeliveredFiles.size(); ++i) {
    ok = WriteFresh(ini, root + "/" + kDeliveredFiles[i], files[i]) && ok;
  }
  return ok;
}

}  // namespace tolvar
