// The diagnosis report of `tolvar --diagnose`: what a person needs to see
// why the mouse is not found or cannot be used, in text to read or paste
// into a bug report.
//
// API: Diagnose(facts) examines every HID device each source lists (its ids,
// its top-level collections, whether its node opens for reading and for
// writing), the files in use and the session, and returns the report text
// with an exit status: kDiagnosisUsable when the mouse's input collection
// opens for reading and its feature collection for writing, as discovery
// needs them; kDiagnosisNotFound when no device has the mouse's ids;
// kDiagnosisNotUsable when the mouse is there but a collection is missing
// or its node cannot be opened.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/focus_source.h"
#include "ports/hid_backend.h"

namespace tolvar {

constexpr int kDiagnosisUsable = 0;
constexpr int kDiagnosisNotFound = 1;
constexpr int kDiagnosisNotUsable = 2;

// A list of HID devices to examine: the hidraw nodes, the simulated mouse.
struct DiagnosisSource {
  std::string title;
  HidBackend& backend;
};

enum class FileAccess { Missing, ReadOnly, Writable };
enum class TrayHost { StatusNotifier, XEmbed, Absent };

struct DiagnosisFacts {
  std::string version;
  std::vector<DiagnosisSource> sources;
  // The access rule file where udev reads it; empty when it is not installed.
  std::string installedRule;
  AppPaths paths;           // every path computed, as the program would use them
  std::uint8_t verSel = 0;  // the language, which chooses the user macro file
  std::function<FileAccess(const std::string& path)> fileAccess;
  std::string sessionType;     // $XDG_SESSION_TYPE
  std::string display;         // $DISPLAY
  std::string waylandDisplay;  // $WAYLAND_DISPLAY
  std::string windowPlatform;  // the toolkit platform the program would run on, and who chose it
  TrayHost trayHost = TrayHost::Absent;
  // Where the program learns which window is in front: the running
  // program's answer when it runs, else what a start would choose.
  FocusSourceKind focusSource = FocusSourceKind::None;
  bool focusSourceFromRunningProgram = false;
};

struct DiagnosisReport {
  std::string text;
  int status = kDiagnosisNotFound;
};

DiagnosisReport Diagnose(const DiagnosisFacts& facts);

}  // namespace tolvar
