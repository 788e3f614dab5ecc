// Fakes for the macro page: controls that keep their lines and selection in
// memory (the event list with a line height of 16 and its client area at
// (100, 200) on the screen), a key capture the test types into, a time of
// day the test sets, a menu that answers with a scripted command, and an
// INI store in memory.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ports/ini_store.h"
#include "ports/key_capture.h"
#include "ports/macro_controls.h"
#include "ports/owner_drawn_menu.h"
#include "ports/time_of_day.h"

namespace tolvar::testing {

struct EditState {
  std::u16string text;
  bool enabled = true;
  bool alive = false;
};

class FakeEdit final : public EditControl {
 public:
  explicit FakeEdit(EditState& state) : state_(state) { state_.alive = true; }
  ~FakeEdit() override { state_.alive = false; }
  std::u16string Text() const override { return state_.text; }
  void SetText(const std::u16string& text) override { state_.text = text; }
  void SetEnabled(bool enabled) override { state_.enabled = enabled; }
  void SetFocus() override {}

 private:
  EditState& state_;
};

struct ListState {
  std::vector<std::u16string> lines;
  int selection = -1;
  int topLine = 0;
  bool alive = false;
  bool hasEdit = false;
  Rect editRect;
  std::u16string editText;
  std::function<void()> selectionChanged;
};

constexpr int kLineHeight = 16;
constexpr Rect kEventListOnScreen{100, 200, 300, 400};

template <typename Base>
class FakeListOf : public Base {
 public:
  explicit FakeListOf(ListState& state) : state_(state) { state_.alive = true; }
  ~FakeListOf() override { state_.alive = false; }
  int Count() const override { return static_cast<int>(state_.lines.size()); }
  std::u16string Text(int line) const override {
    return line >= 0 && line < Count() ? state_.lines[line] : std::u16string();
  }
  void AddLine(const std::u16string& text) override { state_.lines.push_back(text); }
  void InsertLine(int line, const std::u16string& text) override {
    state_.lines.insert(state_.lines.begin() + line, text);
  }
  void DeleteLine(int line) override {
    state_.lines.erase(state_.lines.begin() + line);
    if (state_.selection >= Count()) state_.selection = -1;
  }
  int Selection() const override { return state_.selection; }
  void SetSelection(int line) override { state_.selection = line >= 0 && line < Count() ? line : -1; }
  int LineHeight() const override { return kLineHeight; }
  int TopLine() const override { return state_.topLine; }
  Rect LineRect(int line) const override {
    const int y = (line - state_.topLine) * kLineHeight;
    return {0, y, kEventListOnScreen.right - kEventListOnScreen.left, y + kLineHeight};
  }
  Rect ScreenRect() const override { return kEventListOnScreen; }
  void SetFocus() override {}

 protected:
  ListState& state_;
};

using FakeList = FakeListOf<ListControl>;

class FakeEventList final : public FakeListOf<EventListControl> {
 public:
  using FakeListOf::FakeListOf;
  void OpenLineEdit(const Rect& rect, const std::u16string& text) override {
    state_.hasEdit = true;
    state_.editRect = rect;
    state_.editText = text;
  }
  bool HasLineEdit() const override { return state_.hasEdit; }
  std::u16string LineEditText() const override { return state_.editText; }
  void CloseLineEdit() override { state_.hasEdit = false; }
};

struct MadeControl {
  int id;
  Rect area;
};

class FakeControls final : public MacroControlFactory {
 public:
  std::unique_ptr<EditControl> CreateEdit(const Rect& area, int id) override {
    made.push_back({id, area});
    return std::make_unique<FakeEdit>(id == 10004 ? repeatEdit : nameEdit);
  }
  std::unique_ptr<ListControl> CreateList(const Rect& area, int id, std::function<void()> changed) override {
    made.push_back({id, area});
    macroList.selectionChanged = std::move(changed);
    return std::make_unique<FakeList>(macroList);
  }
  std::unique_ptr<EventListControl> CreateEventList(const Rect& area, int id, EventListEvents& events) override {
    made.push_back({id, area});
    eventEvents = &events;
    return std::make_unique<FakeEventList>(eventList);
  }

  // The user clicks line `line` of the macro list.
  void ClickMacro(int line) {
    macroList.selection = line;
    macroList.selectionChanged();
  }

  std::vector<MadeControl> made;
  EditState repeatEdit, nameEdit;
  ListState macroList, eventList;
  EventListEvents* eventEvents = nullptr;
};

class FakeKeyCapture final : public KeyCapture {
 public:
  CaptureStart Start(std::function<void(KeyEvent)> deliver) override {
    if (refusal != CaptureStart::Taken) return refusal;
    deliver_ = std::move(deliver);
    ++starts;
    return CaptureStart::Taken;
  }
  void Stop() override {
    deliver_ = nullptr;
    ++stops;
  }
  bool Active() const { return static_cast<bool>(deliver_); }
  void Type(bool press, int vk) {
    if (deliver_) deliver_({press, vk});
  }

  CaptureStart refusal = CaptureStart::Taken;  // what Start answers instead of taking the keyboard
  int starts = 0;
  int stops = 0;

 private:
  std::function<void(KeyEvent)> deliver_;
};

class FakeTimeOfDay final : public TimeOfDay {
 public:
  int UtcMillisecondsOfDay() override { return now; }
  int now = 36'000'000;
};

class ScriptedMenus final : public OwnerDrawnMenus {
 public:
  int Track(const std::vector<MenuEntry>& entries, const MenuLook&, int x, int y) override {
    opened.push_back({static_cast<int>(entries.size()), x, y});
    return answer;
  }
  int answer = 0;
  std::vector<std::tuple<int, int, int>> opened;  // entries, x, y
};

class MemoryIni final : public IniStore {
 public:
  std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                      std::size_t bufferChars) override {
    const auto found = values.find({file, std::u16string(section), std::u16string(key)});
    if (found == values.end()) return {};
    return found->second.substr(0, bufferChars > 0 ? bufferChars - 1 : 0);
  }
  bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override {
    values[{file, std::u16string(section), std::u16string(key)}] = std::u16string(value);
    return true;
  }
  bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) override {
    for (const IniEntry& e : entries) Write(file, e.section, e.key, e.value);
    ++batches;
    batchFiles.push_back(file);
    return true;
  }
  std::map<std::tuple<std::string, std::u16string, std::u16string>, std::u16string> values;
  int batches = 0;
  std::vector<std::string> batchFiles;  // the file of each batch, in order
};

}  // namespace tolvar::testing
