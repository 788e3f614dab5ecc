#include "app/recording_guard.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/fake_popups.h"
#include "support/still_window.h"
#include "unit/app/main_window_fakes.h"

namespace tolvar {
namespace {

using namespace tolvar::testing;

// Each guarded call ends the recording before it reaches the real port;
// the calls that neither show anything nor hide the window leave it.
TEST(RecordingGuard, DialogsMenusAndHidingEndTheRecordingFirst) {
  Log log;
  LoggedDialogs dialogs(log);
  FakeDesktop desktop;
  StillWindow window;
  LoggedMenu menu(log);
  LoggedTray tray(log);
  int ends = 0;
  RecordingGuard guard(dialogs, desktop, window, menu, tray, [&] { ++ends; });
  struct Case {
    const char* what;
    std::function<void()> call;
    bool ends;
  };
  const Case cases[] = {
      {"a message box", [&] { guard.MessageBox(u"text", u"caption"); }, true},
      {"a file to open", [&] { guard.OpenFile({}); }, true},
      {"a file to save", [&] { guard.SaveFile({}); }, true},
      {"a colour", [&] { guard.ChooseColour({}); }, true},
      {"the guide in the browser", [&] { guard.OpenPage("/guide/index.html"); }, true},
      {"minimise", [&] { guard.ShowMinimized(); }, true},
      {"hide", [&] { guard.Hide(); }, true},
      {"destroy", [&] { guard.Destroy(); }, true},
      {"the About box", [&] { guard.ShowAboutBox({}); }, true},
      {"the tray menu", [&] { guard.ShowMenuAtCursor({}); }, true},
      {"a repaint", [&] { guard.Invalidate(); }, false},
      {"show", [&] { guard.Show(); }, false},
      {"restore", [&] { guard.Restore(); }, false},
      {"the tray icon", [&] { guard.Add(1, u"tip"); }, false},
      {"the dialogs' language", [&] { guard.SetLanguage(0); }, false},
  };
  for (const Case& c : cases) {
    ends = 0;
    c.call();
    EXPECT_EQ(ends, c.ends ? 1 : 0) << c.what;
  }
  EXPECT_EQ(desktop.languages, std::vector<std::uint8_t>{0}) << "passed on";
  EXPECT_EQ(window.invalidations.load(), 1);
}

}  // namespace
}  // namespace tolvar
