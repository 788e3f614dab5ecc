// Saves that fail say so: the failures of one command's writes are gathered
// and shown in one message box, in the interface's language, naming each
// file and why it could not be written, and saying that the change is still
// in memory and nothing on disk was changed. A later save stores it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ports/ini_store.h"
#include "ports/message_boxes.h"

namespace tolvar {

// The failed writes of one command, one entry per file (the first reason
// for a file is kept: later writes to it fail for the same cause).
class SaveFailures {
 public:
  SaveFailures() = default;
  explicit SaveFailures(const SaveResult& result) { Add(result); }

  void Add(const SaveResult& result);
  void Add(const SaveFailures& other);
  bool empty() const { return failures_.empty(); }
  const std::vector<WriteFailure>& list() const { return failures_; }

 private:
  std::vector<WriteFailure> failures_;
};

// Why in words, in English (verSel != 0) or the other language.
std::u16string WriteErrorWords(WriteError error, std::uint8_t verSel);

// The whole text of the box for these failures (at least one).
std::u16string SaveFailureMessage(const std::vector<WriteFailure>& failures, std::uint8_t verSel);

// Shows the box when there is a failure; nothing otherwise.
void ReportSaveFailures(MessageBoxes& dialogs, const std::u16string& caption, std::uint8_t verSel,
                        const SaveFailures& failures);

}  // namespace tolvar
