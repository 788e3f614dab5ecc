// The diagnosis report over a fake hidraw tree: which devices are the mouse,
// their collections, which nodes open, the fix, and the exit status.
#include "app/diagnosis.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "integration/hidraw_sysfs/fake_hidraw_tree.h"
#include "platform/linux/hidraw_backend.h"

namespace tolvar {
namespace {

class DiagnosisOnFakeTree : public FakeHidrawTree {
 protected:
  // The hidraw backend on the fake tree; nodes in `denied` refuse every open.
  DiagnosisReport Run(const std::string& installedRule = "") {
    HidrawBackend backend(SysDir(), DevDir(), [this](const std::string& path, int flags) {
      if (denied.contains(path)) {
        errno = EACCES;
        return -1;
      }
      return ::open(path.c_str(), flags);
    });
    AppPaths paths;
    paths.ModuleDir = "/usr/lib/tolvar";
    paths.UserDir = "/home/ann/.config/tolvar";
    paths.SkinsDir = "/usr/lib/tolvar/skins";
    paths.ConfigPath = "/home/ann/.config/tolvar/config.ini";
    paths.FixedMacroPath = "/usr/lib/tolvar/constMacro.dat";
    return Diagnose({
        .version = "1.0",
        .sources = {{"HID devices (hidraw nodes)", backend}},
        .installedRule = installedRule,
        .paths = paths,
        .verSel = 1,
        .fileAccess =
            [](const std::string& path) {
              return path.starts_with("/home/") ? FileAccess::Writable : FileAccess::ReadOnly;
            },
        .sessionType = "x11",
        .display = ":0",
        .waylandDisplay = "",
        .windowPlatform = "X11 (xcb), chosen by the program",
        .trayHost = TrayHost::XEmbed,
    });
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  std::set<std::string> denied;
};

TEST_F(DiagnosisOnFakeTree, NamesTheMouseItsCollectionsAndTheNodeThatCannotBeOpened) {
  AddNode("hidraw0", "HID_ID=0003:0000046D:0000C31C\n", test::Keyboard(0).bytes());
  AddMouse("hidraw1", test::BootMouse());
  AddMouse("hidraw2", test::MouseVendorInterface(false));
  denied.insert(Node("hidraw2"));

  const DiagnosisReport report = Run();
  const std::string& text = report.text;
  EXPECT_EQ(report.status, kDiagnosisNotUsable) << text;
  EXPECT_TRUE(Has(text, "  " + Node("hidraw0") + "  046d:c31c\n")) << text;
  EXPECT_TRUE(Has(text, "  " + Node("hidraw1") + "  18f8:1686  the mouse\n")) << text;
  EXPECT_TRUE(Has(text, "  " + Node("hidraw2") + "  18f8:1686  the mouse\n")) << text;
  EXPECT_TRUE(Has(text,
                  "collection usage page 0xff00 usage 0x0001, report ids 6, input 9 bytes, feature 0 bytes"
                  "  <- the mouse's input collection"))
      << text;
  EXPECT_TRUE(Has(text,
                  "collection usage page 0xff01 usage 0x0001, report ids 7, input 0 bytes, feature 8 bytes"
                  "  <- the mouse's feature collection"))
      << text;
  EXPECT_TRUE(Has(text, "open for reading: no, permission denied")) << text;
  EXPECT_TRUE(Has(text, "copy packaging/70-tolvar.rules")) << "the rule is not installed: how to install it\n" << text;
  EXPECT_TRUE(Has(text, "sudo udevadm control --reload-rules && sudo udevadm trigger")) << text;
  EXPECT_TRUE(Has(text, "Result: the mouse is connected but cannot be opened")) << text;
  EXPECT_TRUE(Has(text, "  window platform: X11 (xcb), chosen by the program\n")) << text;
  // The fix is given once, for the mouse's node only.
  EXPECT_EQ(text.find("Fix:"), text.rfind("Fix:")) << text;

  EXPECT_TRUE(Has(text, "your files lie in /home/ann/.config/tolvar")) << text;
  EXPECT_TRUE(Has(text, "configuration file /home/ann/.config/tolvar/config.ini  (writable)")) << text;
  EXPECT_TRUE(Has(text, "skin folder        /usr/lib/tolvar/skins  (read-only)")) << text;
  EXPECT_TRUE(Has(text, "session type: X11")) << text;
  EXPECT_TRUE(Has(text, "tray host: present (X11 system tray)")) << text;
}

TEST_F(DiagnosisOnFakeTree, AnInstalledRuleThatIsNotAppliedGetsTheTriggerFix) {
  AddMouse("hidraw3", test::MouseVendorInterface(true));
  denied.insert(Node("hidraw3"));
  const DiagnosisReport report = Run("/usr/lib/udev/rules.d/70-tolvar.rules");
  EXPECT_EQ(report.status, kDiagnosisNotUsable);
  EXPECT_TRUE(Has(report.text, "/usr/lib/udev/rules.d/70-tolvar.rules is installed but not applied")) << report.text;
  EXPECT_FALSE(Has(report.text, "copy packaging/70-tolvar.rules")) << report.text;
}

TEST_F(DiagnosisOnFakeTree, StatusFollowsWhatDiscoveryWouldFind) {
  const struct {
    const char* name;
    bool mouse;
    bool vendorCollections;
    bool deniedNode;
    int status;
  } cases[] = {
      {"usable", true, true, false, kDiagnosisUsable},
      {"other devices only", false, true, false, kDiagnosisNotFound},
      {"mouse without its vendor collections", true, false, false, kDiagnosisNotUsable},
      {"mouse node refused", true, true, true, kDiagnosisNotUsable},
  };
  for (const auto& c : cases) {
    fs::remove_all(root_);
    fs::create_directories(SysDir());
    fs::create_directories(DevDir());
    denied.clear();
    AddNode("hidraw0", "HID_ID=0003:00001234:00005678\n", test::MouseVendorInterface(false).bytes());
    const test::Descriptor descriptor = c.vendorCollections ? test::MouseVendorInterface(false) : test::BootMouse();
    AddNode("hidraw1", c.mouse ? kMouseHidId : "HID_ID=0003:0000046D:0000C077\n", descriptor.bytes());
    if (c.deniedNode) denied.insert(Node("hidraw1"));
    const DiagnosisReport report = Run();
    EXPECT_EQ(report.status, c.status) << c.name << "\n" << report.text;
  }
}

TEST_F(DiagnosisOnFakeTree, NoDevicesAtAll) {
  const DiagnosisReport report = Run();
  EXPECT_EQ(report.status, kDiagnosisNotFound);
  EXPECT_TRUE(Has(report.text, "HID devices (hidraw nodes):\n  none\n")) << report.text;
  EXPECT_TRUE(Has(report.text, "Result: the mouse (18f8:1686) is not connected")) << report.text;
}

}  // namespace
}  // namespace tolvar
