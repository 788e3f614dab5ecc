#include "app/recording_guard.h"

#include <utility>

namespace tolvar {

RecordingGuard::RecordingGuard(MessageBoxes& dialogs, DesktopDialogs& desktop, WindowHost& window, WindowMenu& menu,
                               TrayIcon& tray, std::function<void()> endRecording)
    : dialogs_(dialogs),
      desktop_(desktop),
      window_(window),
      menu_(menu),
      tray_(tray),
      endRecording_(std::move(endRecording)) {}

void RecordingGuard::EndRecording() const {
  if (endRecording_) endRecording_();
}

void RecordingGuard::MessageBox(const std::u16string& text, const std::u16string& caption) {
  EndRecording();
  dialogs_.MessageBox(text, caption);
}

std::optional<std::string> RecordingGuard::OpenFile(const FileDialogOptions& options) {
  EndRecording();
  return desktop_.OpenFile(options);
}

std::optional<std::string> RecordingGuard::SaveFile(const FileDialogOptions& options) {
  EndRecording();
  return desktop_.SaveFile(options);
}

std::optional<Rgb> RecordingGuard::ChooseColour(Rgb initial) {
  EndRecording();
  return desktop_.ChooseColour(initial);
}

void RecordingGuard::OpenPage(const std::string& file) {
  EndRecording();
  desktop_.OpenPage(file);
}

void RecordingGuard::ShowMinimized() {
  EndRecording();
  window_.ShowMinimized();
}

void RecordingGuard::Hide() {
  EndRecording();
  window_.Hide();
}

void RecordingGuard::Destroy() {
  EndRecording();
  window_.Destroy();
}

void RecordingGuard::ShowMenuAtCursor(const std::vector<MenuItem>& items) {
  EndRecording();
  tray_.ShowMenuAtCursor(items);
}

void RecordingGuard::ShowAboutBox(const AboutBoxTexts& texts) {
  EndRecording();
  menu_.ShowAboutBox(texts);
}

}  // namespace tolvar
