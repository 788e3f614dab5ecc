#include "app/diagnosis.h"

#include <cstdio>

#include "app/startup.h"
#include "device/device_link.h"
#include "device/hid_descriptor.h"

namespace tolvar {

namespace {

std::string Hex(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*x", digits, value);
  return buffer;
}

std::string ReportIds(const HidCollection& collection) {
  std::string ids;
  for (const auto& [id, bits] : collection.reports) ids += (ids.empty() ? "" : " ") + std::to_string(id);
  if (ids == "0") return "none (unnumbered reports)";
  return ids.empty() ? "none" : ids;
}

std::string Role(const HidCollection& collection) {
  if (collection.usage != kCollectionUsage) return "";
  if (collection.usagePage == kInputUsagePage) return "  <- the mouse's input collection (button reports)";
  if (collection.usagePage == kFeatureUsagePage) return "  <- the mouse's feature collection (settings)";
  return "";
}

std::string OpenResult(HidOpenError error, bool opened) {
  if (opened) return "yes";
  return error == HidOpenError::PermissionDenied ? "no, permission denied"
                                                 : "no, the node could not be opened (gone or refused by the driver)";
}

std::string PermissionFix(const std::string& installedRule) {
  if (installedRule.empty()) {
    return "      Fix: install the package (sudo apt install ./tolvar_*.deb), or copy packaging/70-tolvar.rules\n"
           "      to /etc/udev/rules.d/; then run\n"
           "        sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw\n";
  }
  return "      The access rule " + installedRule +
         " is installed but not applied to this node.\n"
         "      Fix: run\n"
         "        sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw\n"
         "      or unplug the mouse and plug it in again. The rule grants access to the user of the\n"
         "      active local session only: a remote (ssh) or inactive session gets none.\n";
}

// What discovery will find: whether each of the mouse's two collections was
// seen and whether its node opened the way discovery opens it.
struct MouseFindings {
  bool found = false;
  bool inputUsable = false;
  bool featureUsable = false;
  bool inputSeen = false;
  bool featureSeen = false;
};

void ExamineDevice(const HidDeviceInfo& device, HidBackend& backend, const std::string& installedRule, std::string& out,
                   MouseFindings& mouse) {
  const bool isMouse = device.vendorId == kMouseVendorId && device.productId == kMouseProductId;
  out += "  " + device.path + "  " + Hex(device.vendorId, 4) + ":" + Hex(device.productId, 4) +
         (isMouse ? "  the mouse" : "") + "\n";
  const HidDescriptor descriptor = ParseHidReportDescriptor(device.reportDescriptor);
  if (descriptor.error != HidDescriptorError::None || descriptor.collections.empty()) {
    out += "    report descriptor unreadable or empty\n";
  }
  bool hasInput = false;
  bool hasFeature = false;
  for (const HidCollection& collection : descriptor.collections) {
    out += "    collection usage page 0x" + Hex(collection.usagePage, 4) + " usage 0x" + Hex(collection.usage, 4) +
           ", report ids " + ReportIds(collection) + ", input " + std::to_string(collection.InputReportByteLength()) +
           " bytes, feature " + std::to_string(collection.FeatureReportByteLength()) + " bytes" +
           (isMouse ? Role(collection) : "") + "\n";
    hasInput = hasInput || (collection.usagePage == kInputUsagePage && collection.usage == kCollectionUsage);
    hasFeature = hasFeature || (collection.usagePage == kFeatureUsagePage && collection.usage == kCollectionUsage);
  }
  HidOpenError readError = HidOpenError::None;
  HidOpenError writeError = HidOpenError::None;
  const bool readable = backend.OpenInput(device.path, readError) != nullptr;
  const bool writable = backend.OpenFeature(device.path, writeError) != nullptr;
  out += "    open for reading: " + OpenResult(readError, readable) + "\n";
  out += "    open for writing: " + OpenResult(writeError, writable) + "\n";
  if (!isMouse) return;
  mouse.found = true;
  mouse.inputSeen = mouse.inputSeen || hasInput;
  mouse.featureSeen = mouse.featureSeen || hasFeature;
  mouse.inputUsable = mouse.inputUsable || (hasInput && readable);
  mouse.featureUsable = mouse.featureUsable || (hasFeature && writable);
  const bool denied = (!readable && readError == HidOpenError::PermissionDenied) ||
                      (!writable && writeError == HidOpenError::PermissionDenied);
  if (denied) out += PermissionFix(installedRule);
}

std::string AccessText(FileAccess access) {
  switch (access) {
    case FileAccess::Missing:
      return "missing";
    case FileAccess::ReadOnly:
      return "read-only";
    case FileAccess::Writable:
      return "writable";
  }
  return "";
}

void DescribeFiles(const DiagnosisFacts& facts, std::string& out) {
  const AppPaths& paths = facts.paths;
  out += "\nFiles:\n";
  out += paths.UserDir.empty() ? "  the program's folder is writable: every file lies beside the program\n"
                               : "  the program's folder is not writable: your files lie in " + paths.UserDir + "\n";
  const std::string userMacroFile = MacroFilePathFor(paths, facts.verSel);
  const std::pair<const char*, const std::string*> files[] = {
      {"skin folder        ", &paths.SkinsDir},
      {"configuration file ", &paths.ConfigPath},
      {"user macro file    ", &userMacroFile},
      {"fixed macro file   ", &paths.FixedMacroPath},
  };
  for (const auto& [name, path] : files) {
    out += "  " + std::string(name) + *path + "  (" + AccessText(facts.fileAccess(*path)) + ")\n";
  }
}

void DescribeSession(const DiagnosisFacts& facts, std::string& out) {
  out += "\nSession:\n";
  std::string type = facts.sessionType.empty() ? "unknown (XDG_SESSION_TYPE is not set)" : facts.sessionType;
  if (facts.sessionType == "x11") type = "X11";
  if (facts.sessionType == "wayland") type = "Wayland";
  out += "  session type: " + type + "\n";
  out += "  DISPLAY: " + (facts.display.empty() ? std::string("not set") : facts.display) +
         ", WAYLAND_DISPLAY: " + (facts.waylandDisplay.empty() ? std::string("not set") : facts.waylandDisplay) + "\n";
  if (facts.display.empty() && !facts.waylandDisplay.empty()) {
    out += "  the program draws through X11: it needs Xwayland (DISPLAY) in this session\n";
  }
  if (!facts.windowPlatform.empty()) out += "  window platform: " + facts.windowPlatform + "\n";
  switch (facts.trayHost) {
    case TrayHost::StatusNotifier:
      out += "  tray host: present (status notifier)\n";
      break;
    case TrayHost::XEmbed:
      out += "  tray host: present (X11 system tray)\n";
      break;
    case TrayHost::Absent:
      out +=
          "  tray host: none found; the program's icon cannot be shown (GNOME needs an extension\n"
          "  for tray icons, for instance AppIndicator support)\n";
      break;
  }
  out += "  window in front (profile per application): " + FocusSourceDescription(facts.focusSource) +
         (facts.focusSourceFromRunningProgram ? "  (the running program)" : "  (when the program starts)") + "\n";
}

std::string Verdict(const MouseFindings& mouse, int& status) {
  if (!mouse.found) {
    status = kDiagnosisNotFound;
    return "the mouse (18f8:1686) is not connected: no HID device has its ids. Plug it in, or check\n"
           "  `lsusb` for it.";
  }
  if (mouse.inputUsable && mouse.featureUsable) {
    status = kDiagnosisUsable;
    return "the mouse is usable.";
  }
  status = kDiagnosisNotUsable;
  if (!mouse.inputSeen || !mouse.featureSeen) {
    return std::string("the mouse is connected but its ") + (mouse.inputSeen ? "feature" : "input") +
           " collection is missing: the device is not the one this program serves, or its\n"
           "  report descriptor was not read; replug it.";
  }
  return "the mouse is connected but cannot be opened; see the fix above.";
}

}  // namespace

DiagnosisReport Diagnose(const DiagnosisFacts& facts) {
  DiagnosisReport report;
  std::string& out = report.text;
  out = "Tolvar " + facts.version + " diagnosis\n";
  MouseFindings mouse;
  for (const DiagnosisSource& source : facts.sources) {
    out += "\n" + source.title + ":\n";
    const std::vector<HidDeviceInfo> devices = source.backend.Enumerate(kEnumerationLimit);
    if (devices.empty()) out += "  none\n";
    for (const HidDeviceInfo& device : devices) ExamineDevice(device, source.backend, facts.installedRule, out, mouse);
  }
  DescribeFiles(facts, out);
  DescribeSession(facts, out);
  out += "\nResult: " + Verdict(mouse, report.status) + "\n";
  return report;
}

}  // namespace tolvar
