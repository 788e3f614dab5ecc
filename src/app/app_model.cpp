#include "app/app_model.h"

#include <optional>
#include <utility>

#include "app/apply_settings.h"
#include "app/startup.h"
#include "app/state_loading.h"
#include "base/text.h"
#include "macros/macro_file.h"

namespace tolvar {

namespace {

constexpr int kFirstProfile = 1;
constexpr int kLastProfile = 5;

FileDialogOptions ProfileFileOptions(const std::string& folder) {
  return {u"All Files(*.ini)", u"*.ini", u"ini", folder};
}

}  // namespace

std::u16string NoExportedProfileMessage(const std::string& file, std::uint8_t verSel) {
  const std::u16string name = Utf8ToUtf16(file);
  if (verSel != 0)
    return u"\u201C" + name + u"\u201D holds no exported profile (section Config7). Nothing was changed.";
  return u"\u201C" + name + u"\u201D 파일에 내보낸 프로필(Config7 섹션)이 없습니다. 아무것도 바뀌지 않았습니다.";
}

AppModel::AppModel(AppState& state, ModelPorts ports, ModelView& view, std::function<SkinSource()> skinFiles)
    : state_(state), ports_(ports), view_(view), skinFiles_(std::move(skinFiles)) {}

void AppModel::Load(const std::string& file, int profile, ProfileSource source, bool withMacros) {
  LoadProfile(state_, ports_.ini, ports_.messages, file, profile, source, withMacros);
}

void AppModel::ChooseProfile(int profile) {
  view_.BeforeMacroListChanges();
  state_.CurConfig = profile;
  Load(state_.Paths.ConfigPath, profile, ProfileSource::OwnSection, false);
  view_.ModelChanged({.settings = true, .macros = true});
}

void AppModel::Save() {
  SaveProfile(ports_.ini, state_.Paths.ConfigPath, state_.CurConfig, state_.Settings, state_.UserMacros);
  view_.ModelChanged({});
}

void AppModel::Apply() {
  const std::optional<std::u16string> corrected =
      ApplySettings(state_, ports_.ini, ports_.pointer, ports_.window, view_.RepeatCountText());
  if (corrected) view_.ShowRepeatCount(*corrected);
}

void AppModel::DropUnappliedEdits() {
  const std::string& config = state_.Paths.ConfigPath;
  SaveDpiLevel(ports_.ini, config, kAppliedProfile, state_.Settings.DPI_LEVEL);
  Load(config, kAppliedProfile, ProfileSource::OwnSection, false);
  view_.ModelChanged({.settings = true});
}

void AppModel::SetLanguage(std::uint8_t verSel) {
  view_.BeforeMacroListChanges();
  state_.VER_SEL = verSel;
  WriteLanguage(ports_.ini, state_.Paths.ConfigPath, verSel);
  // A missing layout file ends the program; nothing after it runs.
  const SkinSource skinFiles = skinFiles_();
  if (!LoadMainSkin(skinFiles, state_.Skin) || !LoadColourSkin(skinFiles, state_.Skin) ||
      !LoadAdvancedSkin(skinFiles, state_.Skin) || !LoadWarningSkin(skinFiles, state_.Skin)) {
    return;
  }
  LoadUserMacros(state_, ports_.ini, ports_.messages, UserMacroFileOf(state_), kMacroSection);
  view_.ModelChanged({.macros = true, .language = true});
}

void AppModel::ResetProfiles() {
  view_.BeforeMacroListChanges();
  const std::string& config = state_.Paths.ConfigPath;
  state_.Settings = DefaultProfile(state_.Settings.MACRO_MODE2);
  SaveProfile(ports_.ini, config, kFirstProfile, state_.Settings);
  for (int profile = kLastProfile; profile > kFirstProfile; --profile) {
    Load(config, profile, ProfileSource::ResetSection, false);
    SaveProfile(ports_.ini, config, profile, state_.Settings);
  }
  Load(config, state_.CurConfig, ProfileSource::OwnSection, false);
  view_.ModelChanged({.settings = true, .macros = true});
  Apply();
}

void AppModel::ImportProfile() {
  const std::optional<std::string> file = ports_.desktop.OpenFile(ProfileFileOptions(state_.Paths.DialogDir));
  if (!file) return;
  if (!HoldsProfile(ports_.ini, *file, kExchangeProfile)) {
    ports_.messages.MessageBox(NoExportedProfileMessage(*file, state_.VER_SEL), state_.ApplicationName);
    return;
  }
  Load(*file, kExchangeProfile, ProfileSource::OwnSection, true);
  view_.ModelChanged({.settings = true, .macros = true});
}

void AppModel::ExportProfile() {
  const std::optional<std::string> file = ports_.desktop.SaveFile(ProfileFileOptions(state_.Paths.DialogDir));
  if (!file) return;
  SaveProfile(ports_.ini, *file, kExchangeProfile, state_.Settings, state_.UserMacros);
  view_.ModelChanged({});
}

}  // namespace tolvar
