#include "app/macro_page.h"

#include <algorithm>

#include "app/save_failure.h"
#include "app/startup.h"
#include "app/state_loading.h"
#include "app/window_commands.h"
#include "base/text.h"
#include "config/config_file.h"
#include "macros/event_edit.h"
#include "macros/event_menu.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "skin/pages.h"

namespace tolvar {

namespace {

bool Contains(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

std::u16string RecordingRefusedMessage(CaptureStart outcome, std::uint8_t verSel) {
  const bool english = verSel != 0;
  if (outcome == CaptureStart::KeyboardBusy) {
    return english ? u"Recording cannot start: another program holds the keyboard."
                   : u"다른 프로그램이 키보드를 사용하고 있어 녹화를 시작할 수 없습니다.";
  }
  return english ? u"Recording cannot start: the keyboard cannot be captured."
                 : u"키보드를 가져올 수 없어 녹화를 시작할 수 없습니다.";
}

FileDialogOptions MacroFileOptions(const std::string& folder) {
  return {u"All Files(*.dat)", u"*.dat", u"dat", folder};
}

MacroPage::MacroPage(AppState& state, MacroPagePorts ports, const CTolvarMenu& eventMenu)
    : state_(state), ports_(ports), eventMenu_(eventMenu), eventListBox_([this](int line) { CommitDelayEdit(line); }) {}

MacroPage::~MacroPage() { CloseControls(); }

Macro* MacroPage::EditableMacro(int index) {
  if (index < 0 || index >= kMaxUserMacros) return nullptr;
  return &state_.UserMacros.slots[index];
}

void MacroPage::SelectLastEventLine() {
  const int selected = state_.SelectedMacro;
  const int events = selected >= 0 && selected < kMacroTableSlots ? state_.UserMacros.slots[selected].eventCount : 0;
  selectedEventLine_ = events > 0 ? 2 * events - 2 : 0;
}

// ---- controls ----

void MacroPage::OpenControls() {
  if (HasControls()) return;
  const AdvancedAreas& areas = state_.Skin.Areas;
  repeatEdit_ = ports_.controls.CreateEdit(areas.RepeatEditArea, kRepeatEditId);
  nameEdit_ = ports_.controls.CreateEdit(areas.NameEditArea, kNameEditId);
  macroList_ = ports_.controls.CreateList(areas.MacroListArea, kMacroListId, [this] { SelectMacroFromList(); });
  eventList_ = ports_.controls.CreateEventList(areas.EventListArea, kEventListId, eventListBox_);
  eventListBox_.Attach(eventList_.get());
  RefreshMacroList();
}

void MacroPage::CloseControls() {
  EndRecording();
  eventListBox_.Attach(nullptr);
  repeatEdit_.reset();
  nameEdit_.reset();
  macroList_.reset();
  eventList_.reset();
  shownMacro_ = -1;
}

// ---- the two lists ----

void MacroPage::ClearEventList() {
  for (int line = eventList_->Count() - 1; line >= 0; --line) eventList_->DeleteLine(line);
}

void MacroPage::AddEventLines(int macro, int index) {
  if (!HasControls()) return;
  const Macro& source = state_.UserMacros.slots[macro];
  const MacroEvent& event = source.events[index];
  if (index > 0) eventList_->AddLine(DelayLineText(source.events[index - 1].delay));
  eventList_->AddLine(KeyLineText(event));
  if (event.action == kActionPress) ++state_.PressCount;
  if (event.action == kActionRelease) ++state_.ReleaseCount;
  ports_.window.Invalidate();
  eventList_->SetSelection(state_.Recording ? eventList_->Count() - 1 : selectedEventLine_);
}

void MacroPage::ShowMacro(int macro) {
  if (!HasControls()) return;
  state_.PressCount = 0;
  state_.ReleaseCount = 0;
  ClearEventList();
  shownMacro_ = -1;
  if (macro < 0 || macro >= kMacroTableSlots) return;
  shownMacro_ = macro;
  const Macro& shown = state_.UserMacros.slots[macro];
  if (shown.eventCount == 0) return;
  for (int i = 0; i < shown.eventCount; ++i) AddEventLines(macro, i);
  const bool repeat = shown.mode == kRepeatModeBit;
  repeatEdit_->SetText(repeat ? DecimalText(shown.repeatCount) : u"1");
  repeatEdit_->SetEnabled(repeat);
}

void MacroPage::RefreshMacroList() {
  if (state_.Recording) AbandonRecording();
  if (!HasControls()) return;
  for (int line = macroList_->Count() - 1; line >= 0; --line) macroList_->DeleteLine(line);
  const int count = std::clamp<int>(state_.UserMacros.count, 0, kMaxUserMacros);
  if (count == 0) {
    nameEdit_->SetText(u"");
    ClearEventList();
    shownMacro_ = -1;
    return;
  }
  for (int i = 0; i < count; ++i) macroList_->AddLine(MacroNameText(state_.UserMacros.slots[i]));
  const int selected = std::min(std::max(macroList_->Count() - 1, 0), state_.SelectedMacro);
  state_.SelectedMacro = selected;
  macroList_->SetSelection(selected);
  SelectMacroFromList();
}

void MacroPage::SelectMacroFromList() {
  if (!HasControls()) return;
  if (state_.Recording) {
    // The list stays on the macro being recorded: its events alone fill
    // the event list until Stop.
    macroList_->SetSelection(recorder_.RecordedMacro());
    return;
  }
  const int selected = macroList_->Selection();
  if (selected < 0) return;
  state_.SelectedMacro = selected;
  nameEdit_->SetText(macroList_->Text(selected));
  ShowMacro(selected);
}

// ---- repeat count ----

std::optional<std::u16string> MacroPage::RepeatEditText() const {
  if (!HasControls()) return std::nullopt;
  return repeatEdit_->Text();
}

void MacroPage::ShowRepeatCount(const std::u16string& text) {
  if (HasControls()) repeatEdit_->SetText(text);
}

void MacroPage::CommitRepeatEdit() {
  if (!HasControls()) return;
  const std::optional<std::u16string> corrected =
      StoreRepeatCount(state_.UserMacros, state_.SelectedMacro, repeatEdit_->Text());
  if (corrected) repeatEdit_->SetText(*corrected);
  Changed();
}

// ---- page commands ----

void MacroPage::ImportMacrosFrom(const std::string& file) {
  EndRecording();
  LoadUserMacros(state_, ports_.ini, ports_.dialogs, file, kMacroSection);
  RefreshMacroList();
  ports_.window.Invalidate();
}

void MacroPage::ImportMacros() {
  EndRecording();
  if (const std::optional<std::string> file = ports_.desktop.OpenFile(MacroFileOptions(state_.Paths.ModuleDir))) {
    ImportMacrosFrom(*file);
  }
}

void MacroPage::ExportMacros() {
  EndRecording();
  if (const std::optional<std::string> file = ports_.desktop.SaveFile(MacroFileOptions(state_.Paths.ModuleDir))) {
    ReportSaveFailures(ports_.dialogs, state_.ApplicationName, state_.VER_SEL,
                       SaveFailures(SaveUserMacros(ports_.ini, *file, kMacroSection, state_.UserMacros)));
  }
}

void MacroPage::AddMacro() {
  if (!HasControls()) return;
  EndRecording();
  const std::u16string typed = nameEdit_->Text();
  macroList_->SetFocus();
  UserMacroTable& table = state_.UserMacros;
  if (table.count >= kMaxUserMacros || typed.empty()) return;
  const std::array<char16_t, kMacroNameUnits> name = MacroNameFrom(typed);
  Macro named;
  named.name = name;
  const int existing = FindMacro(table, MacroNameText(named));
  if (existing < table.count) {
    macroList_->SetSelection(existing);
    SelectMacroFromList();
    return;
  }
  const int slot = std::max<int>(table.count, 0);
  table.slots[slot] = table.slots[kMaxUserMacros];  // a new macro starts blank
  table.slots[slot].name = name;
  ClearEventList();
  macroList_->AddLine(MacroNameText(table.slots[slot]));
  table.count = static_cast<std::int16_t>(slot + 1);
  macroList_->SetSelection(slot);
  state_.SelectedMacro = slot;
  shownMacro_ = slot;
  Changed();
}

void MacroPage::DeleteMacro() {
  if (!HasControls() || macroList_->Count() == 0 || state_.Recording) return;
  UserMacroTable& table = state_.UserMacros;
  const int count = std::clamp<int>(table.count, 0, kMaxUserMacros);
  const int removed = macroList_->Selection();
  if (removed < 0 || removed >= count) return;
  std::copy(table.slots.begin() + removed + 1, table.slots.begin() + count, table.slots.begin() + removed);
  Macro& freed = table.slots[count - 1];
  freed.mode = 0;
  freed.repeatCount = 1;
  freed.eventCount = 0;
  table.count = static_cast<std::int16_t>(count - 1);
  macroList_->DeleteLine(removed);
  const int selected = removed > 0 ? removed - 1 : 0;
  macroList_->SetSelection(selected);
  state_.SelectedMacro = selected;
  if (macroList_->Count() > 0) {
    nameEdit_->SetText(macroList_->Text(selected));
  } else {
    nameEdit_->SetText(u"");
    repeatEdit_->SetText(u"1");
    repeatEdit_->SetEnabled(false);
  }
  ShowMacro(selected);
  Changed();
}

void MacroPage::ToggleRecording() {
  if (state_.Recording) {
    StopRecording();
    if (HasControls()) eventList_->SetFocus();
    return;
  }
  if (!HasControls()) return;
  eventList_->SetFocus();
  if (macroList_->Count() == 0) return;
  StartRecording(std::max(macroList_->Selection(), 0));
}

void MacroPage::EndRecording() {
  if (state_.Recording) StopRecording();
}

void MacroPage::StartRecording(int macro) {
  Macro* target = EditableMacro(macro);
  if (target == nullptr) return;
  const CaptureStart outcome = ports_.keys.Start([this](KeyEvent key) { FilterKeyMessage(key); });
  if (outcome != CaptureStart::Taken) {
    ports_.dialogs.MessageBox(RecordingRefusedMessage(outcome, state_.VER_SEL), state_.ApplicationName);
    return;
  }
  state_.Recording = true;
  recorder_.Start(macro);
  state_.PressCount = 0;
  state_.ReleaseCount = 0;
  *target = state_.UserMacros.slots[kMaxUserMacros];
  target->name = MacroNameFrom(macroList_->Text(macro));
  target->mode = 0;
  target->repeatCount = 1;
  state_.SelectedMacro = macro;
  shownMacro_ = macro;
  repeatEdit_->SetText(u"1");
  repeatEdit_->SetEnabled(false);
  ClearEventList();
  Changed();
}

void MacroPage::StopRecording() {
  state_.Recording = false;
  if (Macro* recorded = EditableMacro(recorder_.RecordedMacro())) {
    recorded->eventCount = static_cast<std::uint8_t>(recorder_.RecordedCount());
  }
  ports_.keys.Stop();
  Changed();
}

void MacroPage::AbandonRecording() {
  state_.Recording = false;
  ports_.keys.Stop();
}

void MacroPage::SaveMacros() {
  EndRecording();
  CommitRepeatEdit();
  SaveFailures failures;
  failures.Add(SaveUserMacros(ports_.ini, UserMacroFileOf(state_), kMacroSection, state_.UserMacros));
  failures.Add(SaveProfile(ports_.ini, state_.Paths.ConfigPath, state_.CurConfig, state_.Settings, state_.UserMacros));
  ReportSaveFailures(ports_.dialogs, state_.ApplicationName, state_.VER_SEL, failures);
}

void MacroPage::ToggleRepeatMode() {
  if (state_.SelectedMacro >= state_.UserMacros.count) return;
  Macro* macro = EditableMacro(state_.SelectedMacro);
  if (macro == nullptr) return;
  const bool on = (macro->mode & kRepeatModeBit) == 0;
  macro->mode = on ? kRepeatModeBit : 0;
  if (HasControls()) {
    repeatEdit_->SetText(on ? DecimalText(macro->repeatCount) : u"1");
    repeatEdit_->SetEnabled(on);
  }
  Changed();
  ports_.window.Invalidate();
}

void MacroPage::ToggleHeldMode() {
  if (state_.SelectedMacro >= state_.UserMacros.count) return;
  Macro* macro = EditableMacro(state_.SelectedMacro);
  if (macro == nullptr) return;
  if (macro->mode & kHeldModeBit) {
    macro->mode = 0;
  } else {
    macro->mode = kHeldModeBit;
    if (HasControls()) {
      repeatEdit_->SetText(u"1");
      repeatEdit_->SetEnabled(false);
    }
    ports_.window.Invalidate();
  }
  Changed();
}

// ---- recording and the key filter ----

bool MacroPage::FilterKeyMessage(KeyEvent key) {
  if (state_.Recording) {
    Macro* target = EditableMacro(recorder_.RecordedMacro());
    if (target != nullptr) {
      const CaptureResult result =
          recorder_.Capture(*target, key, state_.PressCount, ports_.time.UtcMillisecondsOfDay());
      if (result.outcome == CaptureOutcome::PassedOn) return false;
      if (result.outcome == CaptureOutcome::Recorded) {
        AddEventLines(recorder_.RecordedMacro(), result.index);
        Changed();
      }
    }
  }
  return FilterDialogKeys(key);
}

// ---- the context menu ----

void MacroPage::OpenEventMenu(int screenX, int screenY) {
  if (!HasControls() || state_.Recording || state_.CurrentPage != kAdvancedPage) return;
  const Rect rect = eventList_->ScreenRect();
  const int top = eventList_->TopLine();
  const int height = eventList_->LineHeight();
  const int line = height != 0 ? (top * height - rect.top + screenY) / height : 0;
  selectedEventLine_ = line;
  eventList_->SetSelection(line);
  menuLineCount_ = eventList_->Count();
  int command = 0;
  if (Contains(rect, screenX, screenY) && (line < menuLineCount_ || menuLineCount_ == 0)) {
    command = ports_.menus.Track(eventMenu_.FirstSubMenu(), eventMenu_, screenX, screenY);
  }
  menuEvent_ = EventOfLine(eventList_->Selection());
  menuMacro_ = std::min(macroList_->Selection(), kMaxUserMacros - 1);
  // The chosen command runs once the click that opened the menu is done
  // with, as a command of the window's own.
  if (command != 0) ports_.window.PostToUi([this, command] { OnMenuCommand(command); });
}

void MacroPage::InsertMouseEvent(int position, std::uint8_t code, std::uint8_t action) {
  Macro* macro = EditableMacro(menuMacro_);
  if (macro == nullptr) return;
  if (!InsertEvent(*macro, position, code, action)) {
    ports_.dialogs.MessageBox(std::u16string(kOverflowMessage), state_.ApplicationName);
    return;
  }
  selectedEventLine_ += 2;
}

bool MacroPage::OnMenuCommand(int id) {
  const std::optional<EventCommand> command = EventMenuCommand(id);
  if (!command) return false;
  if (state_.Recording || !HasControls() || EditableMacro(menuMacro_) == nullptr) return true;
  switch (command->kind) {
    case EventCommandKind::InsertBefore:
      InsertMouseEvent(menuEvent_, command->code, command->action);
      break;
    case EventCommandKind::InsertAfter:
      if (eventList_->Count() > 0) {
        InsertMouseEvent(menuEvent_ + 1, command->code, command->action);
      } else {
        InsertMouseEvent(0, command->code, command->action);
        selectedEventLine_ = 0;
      }
      break;
    case EventCommandKind::Delete:
      DeleteEvent(*EditableMacro(menuMacro_), menuEvent_);
      selectedEventLine_ = selectedEventLine_ > 2 ? selectedEventLine_ - 2 : 0;
      break;
    case EventCommandKind::ModifyDelay:
      if (menuLineCount_ != 0 && selectedEventLine_ % 2 != 0) eventListBox_.OnChar(kEditStartCharacter);
      return true;
  }
  Changed();
  ShowMacro(menuMacro_);
  return true;
}

void MacroPage::CommitDelayEdit(int line) {
  if (!HasControls()) return;
  Macro* macro = EditableMacro(shownMacro_);
  if (macro != nullptr && line >= 0 && line % 2 == 1 && line < eventList_->Count() &&
      EventOfLine(line) < macro->eventCount) {
    macro->events[EventOfLine(line)].delay = DelayFromLineText(eventList_->Text(line));
    Changed();
  }
  ShowMacro(shownMacro_);
}

}  // namespace tolvar
