#include "app/save_failure.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "base/text.h"

namespace tolvar {

namespace {

struct ReasonWords {
  WriteError error;
  std::u16string_view english;
  std::u16string_view other;
};

constexpr std::array<ReasonWords, 8> kReasons{{
    {WriteError::kDiskFull, u"the disk is full", u"디스크가 가득 찼습니다"},
    {WriteError::kPermissionDenied, u"permission denied (this user may not write the file or its folder)",
     u"권한이 없습니다(이 사용자는 이 파일이나 폴더에 쓸 수 없습니다)"},
    {WriteError::kFolderMissing, u"the folder is missing", u"폴더가 없습니다"},
    {WriteError::kReadOnlyFileSystem, u"the disk is read-only", u"읽기 전용 디스크입니다"},
    {WriteError::kNotAFile, u"something other than a file is in its place", u"그 자리에 파일이 아닌 것이 있습니다"},
    {WriteError::kFileTooLarge, u"the file is too large", u"파일이 너무 큽니다"},
    {WriteError::kUnstorableText, u"a name or value cannot be stored in the file",
     u"이름이나 값을 파일에 저장할 수 없습니다"},
    {WriteError::kOther, u"an input or output error", u"입출력 오류가 발생했습니다"},
}};

}  // namespace

void SaveFailures::Add(const SaveResult& result) {
  if (!result) return;
  const auto sameFile = [&result](const WriteFailure& failure) { return failure.file == result->file; };
  if (std::none_of(failures_.begin(), failures_.end(), sameFile)) failures_.push_back(*result);
}

void SaveFailures::Add(const SaveFailures& other) {
  for (const WriteFailure& failure : other.failures_) Add(failure);
}

std::u16string WriteErrorWords(WriteError error, std::uint8_t verSel) {
  const auto found = std::find_if(kReasons.begin(), kReasons.end(),
                                  [error](const ReasonWords& reason) { return reason.error == error; });
  const ReasonWords& reason = found != kReasons.end() ? *found : kReasons.back();
  return std::u16string(verSel != 0 ? reason.english : reason.other);
}

std::u16string SaveFailureMessage(const std::vector<WriteFailure>& failures, std::uint8_t verSel) {
  const bool english = verSel != 0;
  std::u16string text = english ? u"Not saved:\n" : u"저장하지 못했습니다:\n";
  for (const WriteFailure& failure : failures) {
    text += u"\u201C" + Utf8ToUtf16(failure.file) + u"\u201D: " + WriteErrorWords(failure.error, verSel) + u".\n";
  }
  text += english ? u"\nThe change is still in memory; nothing in these files on disk was changed. Save again once "
                    u"the cause is removed."
                  : u"\n변경 내용은 아직 메모리에 있으며 디스크의 이 파일들은 바뀌지 않았습니다. 원인을 해결한 뒤 다시 "
                    u"저장하십시오.";
  return text;
}

void ReportSaveFailures(MessageBoxes& dialogs, const std::u16string& caption, std::uint8_t verSel,
                        const SaveFailures& failures) {
  if (failures.empty()) return;
  dialogs.MessageBox(SaveFailureMessage(failures.list(), verSel), caption);
}

}  // namespace tolvar
