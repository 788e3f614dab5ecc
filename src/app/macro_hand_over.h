// The macro tables as the worker threads see them. The user-interface
// thread edits AppState's tables freely and publishes them here after each
// change; the workers copy one macro (or read one mode) from the last
// published tables. Each side holds the lock only for a copy, so a playing
// macro never holds up an edit, and a worker never sees half an edit.
#pragma once

#include <cstdint>
#include <mutex>

#include "macros/macro.h"

namespace tolvar {

class MacroHandOver {
 public:
  // User-interface thread: the tables as they now are.
  void Publish(const UserMacroTable& user, const FixedMacroTable& fixed);

  // Worker threads: a copy of one slot (an empty macro outside the table).
  Macro UserMacro(int index) const;
  Macro FixedMacro(int index) const;
  std::uint8_t UserMacroMode(int index) const;

 private:
  mutable std::mutex mutex_;
  UserMacroTable user_;
  FixedMacroTable fixed_;
};

}  // namespace tolvar
