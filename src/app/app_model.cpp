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

void AppModel::Report(const SaveFailures& failures) {
  ReportSaveFailures(ports_.messages, state_.ApplicationName, state_.VER_SEL, failures);
}

void AppModel::Save() {
  const SaveFailures failures(
      SaveProfile(ports_.ini, state_.Paths.ConfigPath, state_.CurConfig, state_.Settings, state_.UserMacros));
  view_.ModelChanged({});
  Report(failures);
}

SaveFailures AppModel::ApplyAndSave() {
  const ApplyOutcome outcome =
      ApplySettings(state_, ports_.ini, ports_.pointer, ports_.window, view_.RepeatCountText());
  if (outcome.correctedRepeatCount) view_.ShowRepeatCount(*outcome.correctedRepeatCount);
  return outcome.saveFailures;
}

void AppModel::Apply() { Report(ApplyAndSave()); }

void AppModel::DropUnappliedEdits() {
  const std::string& config = state_.Paths.ConfigPath;
  Report(SaveFailures(SaveDpiLevel(ports_.ini, config, kAppliedProfile, state_.Settings.DPI_LEVEL)));
  Load(config, kAppliedProfile, ProfileSource::OwnSection, false);
  view_.ModelChanged({.settings = true});
}

void AppModel::SetLanguage(std::uint8_t verSel) {
  view_.BeforeMacroListChanges();
  state_.VER_SEL = verSel;
  Report(SaveFailures(WriteLanguage(ports_.ini, state_.Paths.ConfigPath, verSel)));
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
  SaveFailures failures;
  std::optional<ProfileSettings> current;
  if (state_.CurConfig == kFirstProfile) current = state_.Settings;
  failures.Add(SaveProfile(ports_.ini, config, kFirstProfile, state_.Settings));
  for (int profile = kLastProfile; profile > kFirstProfile; --profile) {
    Load(config, profile, ProfileSource::ResetSection, false);
    if (state_.CurConfig == profile) current = state_.Settings;
    failures.Add(SaveProfile(ports_.ini, config, profile, state_.Settings));
  }
  if (failures.empty() || !current) {
    Load(config, state_.CurConfig, ProfileSource::OwnSection, false);
  } else {
    // The file still holds the old profiles: reading it back would undo the reset.
    state_.Settings = *current;
  }
  view_.ModelChanged({.settings = true, .macros = true});
  failures.Add(ApplyAndSave());
  Report(failures);
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
  const SaveFailures failures(SaveProfile(ports_.ini, *file, kExchangeProfile, state_.Settings, state_.UserMacros));
  view_.ModelChanged({});
  Report(failures);
}

}  // namespace tolvar
