#include "app/macro_hand_over.h"

namespace tolvar {

namespace {

bool InTable(int index) { return index >= 0 && index < kMacroTableSlots; }

}  // namespace

void MacroHandOver::Publish(const UserMacroTable& user, const FixedMacroTable& fixed) {
  std::lock_guard lock(mutex_);
  user_ = user;
  fixed_ = fixed;
}

Macro MacroHandOver::UserMacro(int index) const {
  if (!InTable(index)) return {};
  std::lock_guard lock(mutex_);
  return user_.slots[index];
}

Macro MacroHandOver::FixedMacro(int index) const {
  if (!InTable(index)) return {};
  std::lock_guard lock(mutex_);
  return fixed_.slots[index];
}

std::uint8_t MacroHandOver::UserMacroMode(int index) const {
  if (!InTable(index)) return 0;
  std::lock_guard lock(mutex_);
  return user_.slots[index].mode;
}

}  // namespace tolvar
