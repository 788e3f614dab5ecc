// The configuration file: section Init (CurConfig, VER_SEL), the profile
// sections "Config<n>" and the reset sections "CfgReset<n>" / "CfgReset_EN5".
// Every value is "%d" text read back with ParseDecimal from a buffer of 5
// characters (10 for the five keys of each DPI level), so at most 4 (9)
// characters count. Values outside their ranges are stored as read; 8-bit
// fields keep the low 8 bits.
//
// A whole-profile save, with or without its macro block, is one
// IniStore::WriteBatch, so a crash leaves either the old or the new profile.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile_settings.h"
#include "macros/macro.h"
#include "ports/ini_store.h"

namespace tolvar {

inline constexpr std::u16string_view kInitSection = u"Init";

// Profile sections besides the user's five: the one Apply saves and start-up
// loads, and the one of an exported profile's file.
constexpr int kAppliedProfile = 6;
constexpr int kExchangeProfile = 7;

enum class ProfileSource { OwnSection, ResetSection };

// "Config" + profile.
std::u16string ProfileSectionName(int profile);
// The section LoadProfile reads: "Config" + profile, or for the reset
// values "CfgReset" + profile, "CfgReset_EN5" for profile 5 in English
// (verSel exactly 1).
std::u16string LoadSectionName(int profile, ProfileSource source, std::uint8_t verSel);

// Every key of a profile section in the order a save writes them, the
// macro block aside.
std::vector<IniEntry> ProfileEntries(std::u16string_view section, const ProfileSettings& settings);
// The settings held in `section`; missing keys read as 0. Derived values
// are computed.
ProfileSettings ReadProfileSettings(IniStore& ini, const std::string& file, std::u16string_view section);

// Every write returns what became of it: empty when stored, else the file
// and why not (the file is then as it was).
//
// Writes the settings into "Config" + profile, in one batch; the second form
// adds the macro block of `macros` to the same batch.
[[nodiscard]] SaveResult SaveProfile(IniStore& ini, const std::string& file, int profile,
                                     const ProfileSettings& settings);
[[nodiscard]] SaveResult SaveProfile(IniStore& ini, const std::string& file, int profile,
                                     const ProfileSettings& settings, const UserMacroTable& macros);

// Writes only DPI_LEVEL into "Config" + profile. Safe on any thread.
SaveResult SaveDpiLevel(IniStore& ini, const std::string& file, int profile, std::int32_t dpiLevel);

// Init / CurConfig: 0 when missing.
int ReadCurConfig(IniStore& ini, const std::string& file);
[[nodiscard]] SaveResult WriteCurConfig(IniStore& ini, const std::string& file, int curConfig);
// Init / VER_SEL, low 8 bits: 1 English, 0 (also when missing) the other language.
std::uint8_t ReadLanguage(IniStore& ini, const std::string& file);
[[nodiscard]] SaveResult WriteLanguage(IniStore& ini, const std::string& file, std::uint8_t verSel);

// Whether the file holds profile `profile` as a save writes it (its first
// key, K0, is there). A missing or unreadable file holds none.
bool HoldsProfile(IniStore& ini, const std::string& file, int profile);

}  // namespace tolvar
