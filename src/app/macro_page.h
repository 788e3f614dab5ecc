// The advanced page's macro editor: its four controls (repeat-count edit,
// macro-name edit, macro list, event list), the lists filled from the user
// macros, the event list's context menu and in-place delay edit, recording
// from the keyboard, and the page's eight macro commands.
//
// Every change to the user macros is handed over to the workers at once
// (PublishMacros). Without the controls (another page is shown) the list
// operations do nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "macros/editable_list_box.h"
#include "macros/recorder.h"
#include "ports/desktop_dialogs.h"
#include "ports/ini_store.h"
#include "ports/key_capture.h"
#include "ports/macro_controls.h"
#include "ports/message_boxes.h"
#include "ports/owner_drawn_menu.h"
#include "ports/time_of_day.h"
#include "ports/window_host.h"
#include "skin/owner_drawn_menu.h"

namespace tolvar {

constexpr int kNameEditId = 10000;
constexpr int kMacroListId = 10001;
constexpr int kEventListId = 10002;
constexpr int kRepeatEditId = 10004;

// Why a recording could not start, in the interface's language (VER_SEL
// nonzero: English).
std::u16string RecordingRefusedMessage(CaptureStart outcome, std::uint8_t verSel);

struct MacroPagePorts {
  MacroControlFactory& controls;
  KeyCapture& keys;
  TimeOfDay& time;
  OwnerDrawnMenus& menus;
  MessageBoxes& dialogs;
  DesktopDialogs& desktop;
  IniStore& ini;
  WindowHost& window;
};

// The file dialogs of macro import and export: "*.dat" files, "dat" added
// to a name typed without a suffix, starting in the program's folder.
FileDialogOptions MacroFileOptions(const std::string& folder);

class MacroPage {
 public:
  // `eventMenu` is the event list's context menu (ProgramMenus).
  MacroPage(AppState& state, MacroPagePorts ports, const CTolvarMenu& eventMenu);
  ~MacroPage();

  // Start-up: the event line selected first, twice the selected macro's
  // event count less 2 (0 without events).
  void SelectLastEventLine();

  // Opening the advanced page: the four controls in their layout areas, in
  // the order repeat-count edit, name edit, macro list, event list; then
  // the lists are filled. Leaving it destroys them in the same order.
  void OpenControls();
  void CloseControls();
  bool HasControls() const { return eventList_ != nullptr; }

  // The lists show the user macros again and the selected macro's events.
  void RefreshMacroList();
  void SelectMacroFromList();
  void ShowMacro(int macro);

  // The repeat-count edit's text while the controls exist, for Apply; and
  // the corrected text Apply hands back.
  std::optional<std::u16string> RepeatEditText() const;
  void ShowRepeatCount(const std::u16string& text);
  // Stores the repeat-count edit into the selected macro.
  void CommitRepeatEdit();

  // Advanced hot spots 0..7. Import replaces the user macros by the "Macros"
  // block of a chosen file (a missing file shows its message and empties
  // the list); export writes them into a chosen file.
  void ImportMacros();
  void ExportMacros();
  void AddMacro();
  void DeleteMacro();
  // Record and Stop. Stop always ends a recording, whatever the list holds.
  void ToggleRecording();
  // Ends a running recording as Stop does (the keyboard is given back);
  // nothing when none runs. The window calls it before it leaves the page,
  // hides, opens a dialog or replaces the macro list.
  void EndRecording();
  void SaveMacros();
  void ToggleRepeatMode();
  void ToggleHeldMode();

  // The main window's key filter for every key message of it and its
  // controls: the recording capture while recording, then the dialog keys.
  // True when the key is swallowed.
  bool FilterKeyMessage(KeyEvent key);
  // A right-button release anywhere in the main window, at a screen point,
  // on the advanced page while not recording: moves the event selection and
  // opens the context menu over the event list's lines (or an empty list).
  void OpenEventMenu(int screenX, int screenY);
  // A command of the context menu; false for another id.
  bool OnMenuCommand(int id);
  // The end of an in-place edit of `line`: a delay line's text becomes the
  // delay of its event.
  void CommitDelayEdit(int line);

  int SelectedEventLine() const { return selectedEventLine_; }
  int MenuMacro() const { return menuMacro_; }
  int MenuEvent() const { return menuEvent_; }
  const MacroRecorder& Recorder() const { return recorder_; }
  CEditableListBox& EventListBox() { return eventListBox_; }

 private:
  void ImportMacrosFrom(const std::string& file);
  void AddEventLines(int macro, int index);
  void ClearEventList();
  void InsertMouseEvent(int position, std::uint8_t code, std::uint8_t action);
  void StartRecording(int macro);
  void StopRecording();
  // A recording whose macro list was replaced under it: the keyboard is
  // given back and nothing is written into the new list.
  void AbandonRecording();
  // The user macro at `index` for an edit; null outside the user slots.
  Macro* EditableMacro(int index);
  void Changed() { PublishMacros(state_); }

  AppState& state_;
  MacroPagePorts ports_;
  const CTolvarMenu& eventMenu_;
  MacroRecorder recorder_;
  CEditableListBox eventListBox_;
  std::unique_ptr<EditControl> repeatEdit_;
  std::unique_ptr<EditControl> nameEdit_;
  std::unique_ptr<ListControl> macroList_;
  std::unique_ptr<EventListControl> eventList_;
  int shownMacro_ = -1;  // the macro whose events the event list shows
  int selectedEventLine_ = 0;
  int menuMacro_ = 0;
  int menuEvent_ = 0;
  int menuLineCount_ = 0;
};

}  // namespace tolvar
