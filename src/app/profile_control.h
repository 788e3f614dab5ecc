// What the ways of choosing a profile from outside the window (the session
// bus, the command line, the rules per application) may ask of the program,
// and what they are told when it changes. Every call runs on the
// user-interface thread; a choice goes through the same operation as a click
// on a profile button followed by Apply.
#pragma once

namespace tolvar {

class ProfileControl {
 public:
  virtual ~ProfileControl() = default;
  virtual int Profile() const = 0;   // the profile in use, 1..5
  virtual int DpiLevel() const = 0;  // the DPI level in use, 0..5
  virtual bool Connected() const = 0;
  // True while the window holds edits that are neither saved nor applied.
  virtual bool HasUnsavedChanges() const = 0;
  // Chooses profile 1..5 and applies it, as a click on its button followed
  // by Apply.
  virtual void ChooseProfileAndApply(int profile) = 0;
  virtual void Apply() = 0;
};

// Told after a change of the profile, the DPI level or the connection,
// whoever made it.
class ProfileObserver {
 public:
  virtual ~ProfileObserver() = default;
  virtual void ProfileChanged(int profile) = 0;
  virtual void DpiLevelChanged(int level) = 0;
  virtual void ConnectedChanged(bool connected) = 0;
};

}  // namespace tolvar
