#include "app/profile_operations.h"

#include <optional>
#include <utility>

#include "app/startup.h"
#include "app/state_loading.h"
#include "base/text.h"
#include "config/config_file.h"
#include "macros/macro_file.h"
#include "skin/pages.h"

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

ProfileOperations::ProfileOperations(AppState& state, ProfileOperationPorts ports,
                                     std::function<SkinSource()> skinFiles, std::function<SaveFailures()> apply,
                                     std::function<void()> refreshMacroViews)
    : state_(state),
      ports_(ports),
      skinFiles_(std::move(skinFiles)),
      apply_(std::move(apply)),
      refreshMacroViews_(std::move(refreshMacroViews)) {}

void ProfileOperations::RefreshMacroViewsOnAdvancedPage() {
  if (state_.CurrentPage == kAdvancedPage && refreshMacroViews_) {
    refreshMacroViews_();
    ports_.window.Invalidate();
  }
}

void ProfileOperations::Report(const SaveFailures& failures) {
  ReportSaveFailures(ports_.dialogs, state_.ApplicationName, state_.VER_SEL, failures);
}

void ProfileOperations::SetLanguage(std::uint8_t verSel) {
  AppPaths& paths = state_.Paths;
  state_.VER_SEL = verSel;
  Report(SaveFailures(WriteLanguage(ports_.ini, paths.ConfigPath, verSel)));
  // A missing layout file ends the program; nothing after it runs.
  const SkinSource skinFiles = skinFiles_();
  if (!LoadMainSkin(skinFiles, state_.Skin) || !LoadColourSkin(skinFiles, state_.Skin) ||
      !LoadAdvancedSkin(skinFiles, state_.Skin) || !LoadWarningSkin(skinFiles, state_.Skin)) {
    return;
  }
  paths.MacroFilePath = MacroFilePathFor(paths, verSel);
  LoadUserMacros(state_, ports_.ini, ports_.dialogs, paths.MacroFilePath, kMacroSection);
  RefreshMacroViewsOnAdvancedPage();
  ports_.window.SetTitle(kWindowTitle);
}

void ProfileOperations::ResetProfiles() {
  const std::string& config = state_.Paths.ConfigPath;
  state_.Settings = DefaultProfile(state_.Settings.MACRO_MODE2);
  SaveFailures failures;
  std::optional<ProfileSettings> current;
  if (state_.CurConfig == kFirstProfile) current = state_.Settings;
  failures.Add(SaveProfile(ports_.ini, config, kFirstProfile, state_.Settings));
  for (int profile = kLastProfile; profile > kFirstProfile; --profile) {
    LoadProfile(state_, ports_.ini, ports_.dialogs, config, profile, ProfileSource::ResetSection, false);
    if (state_.CurConfig == profile) current = state_.Settings;
    failures.Add(SaveProfile(ports_.ini, config, profile, state_.Settings));
  }
  if (failures.empty() || !current) {
    LoadProfile(state_, ports_.ini, ports_.dialogs, config, state_.CurConfig, ProfileSource::OwnSection, false);
  } else {
    // The file still holds the old profiles: reading it back would undo the reset.
    state_.Settings = *current;
  }
  RefreshMacroViewsOnAdvancedPage();
  failures.Add(apply_());
  Report(failures);
}

void ProfileOperations::ImportProfile() {
  const std::optional<std::string> file = ports_.desktop.OpenFile(ProfileFileOptions(state_.Paths.DialogDir));
  if (file) {
    if (HoldsProfile(ports_.ini, *file, kExchangeProfile)) {
      LoadProfile(state_, ports_.ini, ports_.dialogs, *file, kExchangeProfile, ProfileSource::OwnSection, true);
      ports_.window.Invalidate();
    } else {
      ports_.dialogs.MessageBox(NoExportedProfileMessage(*file, state_.VER_SEL), state_.ApplicationName);
    }
  }
  RefreshMacroViewsOnAdvancedPage();
}

void ProfileOperations::ExportProfile() {
  const std::optional<std::string> file = ports_.desktop.SaveFile(ProfileFileOptions(state_.Paths.DialogDir));
  if (!file) return;
  const SaveFailures failures(SaveProfile(ports_.ini, *file, kExchangeProfile, state_.Settings, state_.UserMacros));
  ports_.window.Invalidate();
  Report(failures);
}

}  // namespace tolvar
