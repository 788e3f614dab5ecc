// Capture of the whole keyboard while a macro is recorded: every key is
// kept from the other programs and delivered to the program instead.
#pragma once

#include <functional>

namespace tolvar {

struct CapturedKey {
  bool press = false;  // a key going down (a held key repeats its press)
  int virtualKey = 0;  // left and right Shift, Ctrl and Alt have codes of their own
  friend bool operator==(const CapturedKey&, const CapturedKey&) = default;
};

class KeyCapture {
 public:
  virtual ~KeyCapture() = default;
  // Takes the keyboard and delivers each press and release, in order, on
  // the user-interface thread until Stop. False, and nothing taken, when the
  // keyboard cannot be had (another program holds it).
  virtual bool Start(std::function<void(CapturedKey)> deliver) = 0;
  // Gives the keyboard back; nothing when it is not taken.
  virtual void Stop() = 0;
};

}  // namespace tolvar
