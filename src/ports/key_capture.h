// Capture of the whole keyboard while a macro is recorded: every key is
// kept from the other programs and delivered to the program instead.
#pragma once

#include <functional>

namespace tolvar {

// A key going down or up, as the key filters and the recorder take it.
struct KeyEvent {
  bool press = false;  // a key going down (a held key repeats its press)
  int virtualKey = 0;  // left and right Shift, Ctrl and Alt have codes of their own
  friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// How an attempt to take the keyboard ended.
enum class CaptureStart {
  Taken,         // keys are delivered until Stop
  KeyboardBusy,  // another program holds the keyboard; nothing taken
  Unavailable,   // no keyboard to take (no display, the grab failed otherwise)
};

class KeyCapture {
 public:
  virtual ~KeyCapture() = default;
  // Takes the keyboard and delivers each press and release, in order, on
  // the user-interface thread until Stop. Taking it again while it is held
  // keeps the first delivery.
  virtual CaptureStart Start(std::function<void(KeyEvent)> deliver) = 0;
  // Gives the keyboard back; nothing when it is not taken. Once it returns,
  // another program can take the keyboard.
  virtual void Stop() = 0;
};

}  // namespace tolvar
