// What the desktop offers the program: its file and colour dialogs and its
// web browser.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/values.h"

namespace tolvar {

struct FileDialogOptions {
  std::u16string filterName;     // shown for the filter, as "All Files(*.ini)"
  std::u16string pattern;        // the files offered, as "*.ini"
  std::u16string defaultSuffix;  // save dialogs: added to a name typed without one
  std::string startFolder;
};

class DesktopDialogs {
 public:
  virtual ~DesktopDialogs() = default;
  // The file chosen for reading; none when cancelled.
  virtual std::optional<std::string> OpenFile(const FileDialogOptions& options) = 0;
  // The file name chosen for writing, after asking before an existing file
  // is overwritten; none when cancelled.
  virtual std::optional<std::string> SaveFile(const FileDialogOptions& options) = 0;
  // The colour chosen, starting from `initial`; none when cancelled.
  virtual std::optional<Rgb> ChooseColour(Rgb initial) = 0;
  // Opens a page of the local file system in the desktop's browser.
  virtual void OpenPage(const std::string& file) = 0;
  // The dialogs' own texts (titles, buttons) from now on in the
  // interface's language (VER_SEL nonzero: English).
  virtual void SetLanguage(std::uint8_t verSel) = 0;
};

}  // namespace tolvar
