#include "app/window_commands.h"

#include <utility>

namespace tolvar {

namespace {
constexpr int kCommandFlagBits = 0x000F;
}  // namespace

const std::vector<MenuItem>& TrayMenuItems(std::uint8_t verSel) {
  static const std::vector<MenuItem> english{
      {kShowWindowCommand, u"Show Window"},
      {kApplicationRulesCommand, ApplicationRulesMenuText(1)},
      {kExitDriverCommand, u"Exit Driver"},
  };
  static const std::vector<MenuItem> other{
      {kShowWindowCommandOther, u"윈도우 보여주기   "},
      {kApplicationRulesCommand, ApplicationRulesMenuText(0)},
      {kExitDriverCommandOther, u"드라이버 나가기   "},
  };
  return verSel != 0 ? english : other;
}

std::u16string ApplicationRulesMenuText(std::uint8_t verSel) {
  return verSel != 0 ? u"Profile per application..." : u"응용 프로그램별 프로필...";
}

bool FilterDialogKeys(KeyEvent key) {
  if (key.virtualKey == kVkF10) return true;
  return key.press && (key.virtualKey == kVkEscape || key.virtualKey == kVkReturn);
}

void AddAboutItem(WindowMenu& menu) {
  menu.AppendSeparator();
  menu.AppendItem(kAboutCommand, kAboutMenuText);
}

WindowCommands::WindowCommands(AppState& state, WindowHost& window, TrayIcon& tray, WindowMenu& menu,
                               std::function<void()> applySettings)
    : state_(state), window_(window), tray_(tray), menu_(menu), applySettings_(std::move(applySettings)) {}

void WindowCommands::AddTrayIcon() { tray_.Add(kTrayIconId, kTrayTip); }

void WindowCommands::RemoveTrayIcon() { tray_.Remove(kTrayIconId); }

void WindowCommands::HideToTray() {
  window_.ShowMinimized();
  if (!tray_.IsAvailable()) return;
  window_.Hide();
  AddTrayIcon();
}

void WindowCommands::ShowFromTray() {
  window_.Show();
  window_.Restore();
}

void WindowCommands::ExitProgram() {
  RemoveTrayIcon();
  if (state_.Link.Reporter.IsOpen()) {
    state_.Link.Reporter.Send([](std::span<std::uint8_t> report) { compose::Detach(report); });
  }
  window_.Destroy();
}

int WindowCommands::OnTrayNotify(int iconId, TrayMouse mouse) {
  if (iconId != kTrayIconId) return 1;
  switch (mouse) {
    case TrayMouse::LeftDoubleClick:
      ShowFromTray();
      break;
    case TrayMouse::RightButtonUp:
      tray_.ShowMenuAtCursor(TrayMenuItems(state_.VER_SEL));
      break;
    case TrayMouse::Other:
      break;
  }
  return 0;
}

bool WindowCommands::OnCommand(int command) {
  switch (command) {
    case kShowWindowCommand:
    case kShowWindowCommandOther:
      ShowFromTray();
      return true;
    case kExitDriverCommand:
    case kExitDriverCommandOther:
      ExitProgram();
      return true;
    default:
      return false;
  }
}

bool WindowCommands::OnSysCommand(int command) {
  switch (command & ~kCommandFlagBits) {
    case kAboutCommand:
      menu_.ShowAboutBox(kAboutBox);
      return true;
    case kScMinimize:
      window_.ShowMinimized();
      return true;
    case kScRestore:
      window_.Restore();
      return true;
    case kScClose:
      HideToTray();
      return true;
    default:
      return false;
  }
}

void WindowCommands::OnClose() { ExitProgram(); }

void WindowCommands::OnPowerBroadcast() {
  if (applySettings_) applySettings_();
}

}  // namespace tolvar
