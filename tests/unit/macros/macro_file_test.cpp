#include "macros/macro_file.h"

#include <gtest/gtest.h>

#include "app/state_loading.h"
#include "base/text.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/fake_ini_store.h"
#include "unit/config/fake_dialogs.h"
#include "unit/config/test_folder.h"

namespace tolvar {
namespace {

using testing::RecordingDialogs;
using testing::RecordingIniStore;
using testing::TestFolder;

Macro MacroNamed(std::u16string_view name) {
  Macro m;
  m.name = MacroNameFrom(name);
  m.repeatCount = 1;
  return m;
}

class MacroFileTest : public ::testing::Test {
 protected:
  MacroFileTest() { app.ApplicationName = u"tolvar"; }

  std::string File() const { return folder.Path("Macro_EN.dat"); }

  // A macro file with `keys` macros named "m0", "m1", ... and the given count text.
  void WriteBlock(const std::string& countText, int keys) {
    std::string text = "[Macros]\n";
    if (!countText.empty()) text += "macroNum=" + countText + "\n";
    for (int i = 0; i < keys; ++i) {
      text += std::to_string(i) + "=" + Utf16ToUtf8(EncodeMacro(MacroNamed(u"m" + DecimalText(i)))) + "\n";
    }
    folder.WriteFile("Macro_EN.dat", text);
  }

  TestFolder folder;
  IniFileStore ini;
  RecordingDialogs dialogs;
  AppState app;
};

TEST_F(MacroFileTest, CountFromTheFileIsKeptWithinTheTable) {
  struct Case {
    std::string countText;
    int keys;
    int expectedCount;
    int expectedSelected;
  };
  const Case cases[] = {
      {"", 3, 0, 0},      {"3", 3, 3, 2},      {"1x", 3, 1, 0}, {"-4", 3, 0, 0},
      {"99", 15, 12, 11}, {"123", 15, 12, 11}, {"5", 2, 5, 4},
  };
  for (const auto& c : cases) {
    WriteBlock(c.countText, c.keys);
    app.UserMacros = UserMacroTable{};
    LoadUserMacros(app, ini, dialogs, File(), kMacroSection);
    EXPECT_EQ(app.UserMacros.count, c.expectedCount) << c.countText;
    EXPECT_EQ(app.SelectedMacro, c.expectedSelected) << c.countText;
    for (int i = 0; i < c.expectedCount && i < c.keys; ++i) {
      EXPECT_EQ(MacroNameText(app.UserMacros.slots[i]), u"m" + DecimalText(i)) << c.countText;
    }
    EXPECT_EQ(app.UserMacros.slots[12], Macro{}) << "the blank record stays blank, " << c.countText;
  }
  // A count beyond the keys present gives empty macros for the missing keys.
  EXPECT_EQ(app.UserMacros.slots[3], Macro{});
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MacroFileTest, SlotsBeyondTheCountKeepWhatTheyHeld) {
  WriteBlock("2", 2);
  app.UserMacros.slots[5] = MacroNamed(u"kept");
  LoadUserMacros(app, ini, dialogs, File(), kMacroSection);
  EXPECT_EQ(MacroNameText(app.UserMacros.slots[5]), u"kept");
}

TEST_F(MacroFileTest, FixedMacrosFillAllThirteenSlotsAndLeaveTheSelectionAlone) {
  WriteBlock("20", 20);
  app.SelectedMacro = 4;
  LoadFixedMacros(app, ini, dialogs, File());
  EXPECT_EQ(app.FixedMacros.count, 13);
  EXPECT_EQ(MacroNameText(app.FixedMacros.slots[12]), u"m12");
  EXPECT_EQ(app.SelectedMacro, 4);
}

TEST_F(MacroFileTest, AMissingFileIsReportedOnceAndReadsEmpty) {
  app.UserMacros.count = 3;
  LoadUserMacros(app, ini, dialogs, folder.Path("Macro_CN.dat"), kMacroSection);
  LoadFixedMacros(app, ini, dialogs, folder.Path("constMacro.dat"));
  ASSERT_EQ(dialogs.shown.size(), 2u);
  for (const auto& [text, caption] : dialogs.shown) {
    EXPECT_EQ(text, u"找不到配置文件");
    EXPECT_EQ(caption, u"tolvar");
  }
  EXPECT_EQ(app.UserMacros.count, 0);
  EXPECT_EQ(app.FixedMacros.count, 0);
}

TEST_F(MacroFileTest, ABlockIsSavedAsOneBatchAndReadsBack) {
  RecordingIniStore recording(ini);
  app.UserMacros.count = 2;
  app.UserMacros.slots[0] = MacroNamed(u"Hello");
  app.UserMacros.slots[1] = MacroNamed(u"창 전환");
  app.UserMacros.slots[1].eventCount = 1;
  app.UserMacros.slots[1].events[0] = {43, 1, 50};
  EXPECT_FALSE(SaveUserMacros(recording, File(), kMacroSection, app.UserMacros));
  ASSERT_EQ(recording.Writes().size(), 1u);
  EXPECT_TRUE(recording.Writes()[0].batch);

  const std::string text = folder.ReadFile("Macro_EN.dat");
  EXPECT_EQ(text.rfind("[Macros]\nmacroNum=2\n0=072000101000108000108000111000", 0), 0u);
  const UserMacroTable saved = app.UserMacros;
  app.UserMacros = UserMacroTable{};
  LoadUserMacros(app, ini, dialogs, File(), kMacroSection);
  EXPECT_EQ(app.UserMacros.count, 2);
  EXPECT_EQ(app.UserMacros.slots[0], saved.slots[0]);
  EXPECT_EQ(app.UserMacros.slots[1], saved.slots[1]);
  EXPECT_EQ(app.SelectedMacro, 1);
}

TEST_F(MacroFileTest, FindMacroComparesNamesExactly) {
  UserMacroTable table;
  table.count = 5;
  const std::u16string names[] = {u"copy", u"Paste", u"", u"Window Switch", u"copy"};
  for (int i = 0; i < 5; ++i) table.slots[i] = MacroNamed(names[i]);
  table.slots[6] = MacroNamed(u"beyond");
  EXPECT_EQ(FindMacro(table, u"Window Switch"), 3);
  EXPECT_EQ(FindMacro(table, u"window switch"), 5);
  EXPECT_EQ(FindMacro(table, u"copy"), 0);
  EXPECT_EQ(FindMacro(table, u""), 2);
  EXPECT_EQ(FindMacro(table, u"beyond"), 5);
}

TEST_F(MacroFileTest, RepeatCountIsKeptWithinOneTo65535) {
  struct Case {
    std::u16string text;
    std::uint16_t stored;
    std::optional<std::u16string> returned;
  };
  const Case cases[] = {
      {u"0", 1, u"1"},         {u"70000", 65535, u"65535"},     {u"12", 12, std::nullopt},   {u"", 1, u"1"},
      {u"-3", 1, u"1"},        {u"65535", 65535, std::nullopt}, {u"65536", 65535, u"65535"}, {u" 7x", 7, std::nullopt},
      {u"1", 1, std::nullopt},
  };
  for (const auto& c : cases) {
    UserMacroTable table;
    EXPECT_EQ(StoreRepeatCount(table, 2, c.text), c.returned) << Utf16ToUtf8(c.text);
    EXPECT_EQ(table.slots[2].repeatCount, c.stored) << Utf16ToUtf8(c.text);
  }
  UserMacroTable table;
  EXPECT_EQ(StoreRepeatCount(table, 12, u"5"), std::nullopt);
  EXPECT_EQ(StoreRepeatCount(table, -1, u"0"), u"1");
  EXPECT_EQ(table.slots[12], Macro{});
}

}  // namespace
}  // namespace tolvar
