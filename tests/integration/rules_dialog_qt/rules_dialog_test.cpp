// The rules dialog edits the rules as a person would with its controls, and
// the rules file keeps what the dialog does not show; the tray icon keeps the
// tip it was given.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/ini/application_rules_file.h"
#include "platform/qt/application_rules_dialog.h"
#include "platform/qt/qt_tray.h"

namespace tolvar {
namespace {

class RulesDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "rules_dialog_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  static void TearDownTestSuite() { application_.reset(); }

  template <typename T>
  static T* Child(QDialog& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static void ChooseProfile(QDialog& dialog, int row, int profile) {
    auto* choice = static_cast<QComboBox*>(Child<QTableWidget>(dialog, "rules")->cellWidget(row, 1));
    choice->setCurrentIndex(choice->findData(profile));
  }

  static inline std::unique_ptr<QApplication> application_;
};

TEST_F(RulesDialogTest, AddByPickingAWindowOrByTypingChooseRemoveAndOtherwise) {
  ApplicationRules rules = ParseApplicationRules("; mine\n[Applications]\nsteam=5\nodd line\n[Options]\nOtherwise=0\n");
  const std::vector<WindowIdentity> windows{
      {"Firefox", "Navigator", "firefox-esr", ""}, {"", "", "", "org.gnome.Terminal"}, {"Firefox", "x", "", ""}};
  ApplicationRulesDialog dialog(nullptr, rules, windows, 1);

  auto* open = Child<QComboBox>(dialog, "openWindows");
  ASSERT_EQ(open->count(), 2) << "one line per application";
  EXPECT_EQ(open->itemText(0), QStringLiteral("Firefox  (firefox-esr)"));
  open->setCurrentIndex(1);
  Child<QPushButton>(dialog, "addWindow")->click();
  ChooseProfile(dialog, 1, 2);

  Child<QLineEdit>(dialog, "typedId")->setText(QStringLiteral("  blender "));
  Child<QPushButton>(dialog, "addTyped")->click();
  ChooseProfile(dialog, 2, 4);
  EXPECT_TRUE(Child<QLineEdit>(dialog, "typedId")->text().isEmpty());
  EXPECT_FALSE(dialog.AddApplication(QStringLiteral("a=b")));
  EXPECT_TRUE(dialog.AddApplication(QStringLiteral("STEAM"))) << "the rule it has is selected";
  EXPECT_EQ(Child<QTableWidget>(dialog, "rules")->rowCount(), 3);

  Child<QTableWidget>(dialog, "rules")->selectRow(0);
  Child<QPushButton>(dialog, "remove")->click();
  auto* otherwise = Child<QComboBox>(dialog, "otherwise");
  otherwise->setCurrentIndex(otherwise->findData(3));
  Child<QCheckBox>(dialog, "notifications")->setChecked(false);

  const ApplicationRules edited = dialog.Rules();
  EXPECT_EQ(edited.rules, (std::vector<ApplicationRule>{{"org.gnome.Terminal", 2}, {"blender", 4}}));
  EXPECT_EQ(edited.otherwise, 3);
  EXPECT_FALSE(edited.notifications);
  EXPECT_EQ(edited.leadingLines, rules.leadingLines) << "what the dialog does not show is kept";
  EXPECT_EQ(edited.unknownApplicationLines, (std::vector<std::string>{"odd line"}));
}

TEST_F(RulesDialogTest, BothLanguages) {
  ApplicationRulesDialog english(nullptr, {}, {}, 1);
  ApplicationRulesDialog other(nullptr, {}, {}, 0);
  EXPECT_EQ(english.windowTitle(), QStringLiteral("Profile per application"));
  EXPECT_EQ(other.windowTitle(), QStringLiteral("응용 프로그램별 프로필"));
  EXPECT_EQ(Child<QComboBox>(other, "otherwise")->itemText(0), QStringLiteral("사용 중인 프로필 유지"));
  EXPECT_FALSE(Child<QPushButton>(english, "addWindow")->isEnabled()) << "no window to pick";
}

TEST_F(RulesDialogTest, TheFileIsWrittenWholeAndAnUnreadableOneIsNotOverwritten) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tolvar_rules_dialog_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "applications.ini").string();

  const LoadedApplicationRules missing = LoadApplicationRules(path);
  EXPECT_TRUE(missing.writable);
  EXPECT_TRUE(missing.rules.rules.empty());
  ASSERT_TRUE(SaveApplicationRules(path, {.rules = {{"firefox", 2}}, .otherwise = 1}));
  const LoadedApplicationRules saved = LoadApplicationRules(path);
  EXPECT_EQ(saved.rules.rules, (std::vector<ApplicationRule>{{"firefox", 2}}));
  EXPECT_EQ(saved.rules.otherwise, 1);

  const std::string folderNamed = (folder / "folder.ini").string();
  std::filesystem::create_directory(folderNamed);
  EXPECT_FALSE(LoadApplicationRules(folderNamed).writable) << "a folder where the file should be";
  std::filesystem::remove_all(folder);
}

TEST_F(RulesDialogTest, TheTrayIconKeepsItsTipWhenItIsAddedAgain) {
  QtTray tray(ProgramIcon());
  tray.Add(153, u"plain tip");
  EXPECT_EQ(tray.ToolTip(), QStringLiteral("plain tip"));
  tray.SetToolTip(u"Profile 2 · DPI 800");
  EXPECT_EQ(tray.ToolTip(), QStringLiteral("Profile 2 · DPI 800"));
  tray.Remove(153);
  tray.Add(153, u"plain tip");
  EXPECT_EQ(tray.ToolTip(), QStringLiteral("Profile 2 · DPI 800"));
}

}  // namespace
}  // namespace tolvar
