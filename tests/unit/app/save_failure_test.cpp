// The message of saves that failed: one box, each file named once with why,
// in the interface's language, saying the change is still in memory.
#include "app/save_failure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"

namespace tolvar {
namespace {

class CountingBoxes final : public MessageBoxes {
 public:
  void MessageBox(const std::u16string& text, const std::u16string& caption) override {
    shown.push_back(Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text));
  }
  std::vector<std::string> shown;
};

TEST(SaveFailureTest, OneBoxNamesEachFileOnceWithWhyInEitherLanguage) {
  SaveFailures failures;
  failures.Add(std::nullopt);  // a save that worked
  failures.Add(WriteFailure{"/home/ann/.config/tolvar/Macro_EN.dat", WriteError::kPermissionDenied});
  failures.Add(WriteFailure{"/home/ann/.config/tolvar/config.ini", WriteError::kDiskFull});
  failures.Add(WriteFailure{"/home/ann/.config/tolvar/config.ini", WriteError::kOther});  // the same file again
  ASSERT_EQ(failures.list().size(), 2u);

  CountingBoxes boxes;
  ReportSaveFailures(boxes, u"tolvar", 1, failures);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            "tolvar: Not saved:\n"
            "\u201C/home/ann/.config/tolvar/Macro_EN.dat\u201D: permission denied (this user may not write the file "
            "or its folder).\n"
            "\u201C/home/ann/.config/tolvar/config.ini\u201D: the disk is full.\n"
            "\nThe change is still in memory; nothing in these files on disk was changed. Save again once the cause "
            "is removed.");

  const std::u16string other = SaveFailureMessage(failures.list(), 0);
  EXPECT_NE(other.find(u"디스크가 가득 찼습니다"), std::u16string::npos);
  EXPECT_NE(other.find(u"메모리"), std::u16string::npos) << "says the change is still in memory";
  EXPECT_NE(other.find(u"/home/ann/.config/tolvar/config.ini"), std::u16string::npos);
}

TEST(SaveFailureTest, NothingIsShownWhenEverySaveWorked) {
  CountingBoxes boxes;
  ReportSaveFailures(boxes, u"tolvar", 1, SaveFailures(std::nullopt));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(SaveFailureTest, EveryReasonHasItsOwnWordsInBothLanguages) {
  const WriteError errors[] = {WriteError::kDiskFull,       WriteError::kPermissionDenied,
                               WriteError::kFolderMissing,  WriteError::kReadOnlyFileSystem,
                               WriteError::kNotAFile,       WriteError::kFileTooLarge,
                               WriteError::kUnstorableText, WriteError::kOther};
  for (const std::uint8_t verSel : {0, 1}) {
    std::vector<std::u16string> seen;
    for (const WriteError error : errors) {
      const std::u16string words = WriteErrorWords(error, verSel);
      EXPECT_FALSE(words.empty());
      EXPECT_EQ(std::count(seen.begin(), seen.end(), words), 0) << "two reasons read alike: " << Utf16ToUtf8(words);
      seen.push_back(words);
    }
  }
  EXPECT_EQ(WriteErrorWords(WriteError::kFolderMissing, 1), u"the folder is missing");
}

}  // namespace
}  // namespace tolvar
