// A seeded random session with the real program, as a person uses it: the
// mouse moved and clicked over the skin's hot spots and beside them, the
// button-function popups and the warning, page and language switches, the
// file dialogs of import and export, the macro editor, button presses of
// the simulated mouse, Save, Apply, profiles, hiding to the tray, and the
// mouse unplugged and plugged in again (the program ends and is started
// again, as the user's service manager would). Every modal window that
// appears is answered. Afterwards the program is ended from the tray menu.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/skin_layout.h"
#include "support/program_under_test.h"
#include "written_files.h"
#include "x11_session.h"

namespace tolvar::testing {

// A fault found by the session; its text says what and where.
class SessionFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RandomSession {
 public:
  explicit RandomSession(std::uint32_t seed);
  ~RandomSession();
  RandomSession(const RandomSession&) = delete;
  RandomSession& operator=(const RandomSession&) = delete;

  // Starts the program, drives it for `duration`, ends it from the tray menu
  // and checks the ends, the sanitizer logs and the written files. Throws
  // SessionFailure on the first fault.
  void Run(std::chrono::seconds duration);

  // How often each kind of action ran, one "kind: count" per line.
  std::string Counts() const;

  // Weights by action name ("record", "unplug", ...) in place of the
  // defaults; a name not given keeps its default. Before Run.
  void SetWeights(const std::map<std::string, int>& weights);
  // Between two actions, at most once every `interval`: `observe` gets the
  // running program's process id and how often it has been started.
  void ObserveEvery(std::chrono::seconds interval, std::function<void(pid_t, int)> observe);

 private:
  using Handler = void (RandomSession::*)();
  struct ActionKind {
    const char* name;
    int weight;
    Handler run;
  };
  static const std::vector<ActionKind>& Actions();

  enum class FilePurpose { None, ImportProfile, ExportProfile, ImportMacros, ExportMacros };
  enum class ModalKind { Warning, FileDialog, FileDialogQuestion, ColourDialog, MessageBox, Menu, Other };
  struct Modal {
    XWindowId window;
    ModalKind kind;
    std::string title;
  };

  // The actions, one per kind.
  void MoveMouse();
  void ClickHotSpot();
  void PressBesideHotSpots();
  void ChooseButtonFunction();
  void SwitchPage();
  void SwitchLanguage();
  void ProfileFile();
  void RecordMacro();
  void EditMacros();
  void UseEventMenu();  // the context menu and the in-place delay edit
  void MacroFile();
  void PressKeys();
  void PressMouseButton();
  void SaveApplyOrProfile();
  void HideAndRestore();
  void UnplugAndPlug();

  // The program's life.
  void PrepareFolders();
  void StartProgram();
  void WaitForMainWindow();
  void EndFromTrayMenu();
  void ExpectEndedNormally(const std::string& how);
  void CheckSanitizerLogs() const;
  void CheckWrittenFiles() const;
  void CheckDetachReportLast() const;
  [[noreturn]] void Fail(const std::string& what) const;
  // With TOLVAR_RANDOM_TRACE set, each action and answer is printed.
  void Trace(const std::string& line) const;

  // The windows on the screen.
  pid_t Pid();
  std::optional<XWindowId> MainWindow();
  std::optional<XWindowId> TrayIcon();
  std::vector<Modal> OpenModals();
  std::string WindowList();
  void AnswerModals();
  void Answer(const Modal& modal);
  void AnswerFileDialog(const Modal& modal);
  void CloseWithMouse(const Modal& modal, bool insideMenu);
  void EnsureWindowShown();

  // Clicks and keys. Positions are client coordinates of the main window.
  const SkinLayout& Layout() const;
  std::uint8_t Language() const;
  void ClickMainRow(int row);
  void ClickAdvancedRow(int row);
  void ClickAt(int x, int y, int button = 1);
  void ClickRect(const Rect& area);
  void ClickSpot(const HotSpot& spot);
  void AfterMainRowPress(int row);
  void AfterAdvancedRowPress(int row);
  void OpenAdvancedPage();
  void OpenMainPage();
  void TypeText(const std::string& text);
  void Keys(const std::string& keys);
  std::string RandomText();
  std::string RandomKeyName();
  void Pause(int minMs, int maxMs);
  int Random(int min, int max);
  bool Chance(int percent) { return Random(1, 100) <= percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Random(0, static_cast<int>(items.size()) - 1))];
  }

  std::uint32_t seed_;
  std::mt19937 random_;
  bool trace_;
  ProgramUnderTest test_;  // first: its display outlives the connection to it
  std::unique_ptr<X11Session> x_;
  ChildProcess* tray_ = nullptr;
  std::string work_;  // the session's own folders beside the program folder
  std::string deliveredConfig_;
  std::map<std::string, std::string> untouched_;  // files the program must never change, with their content
  std::map<std::string, std::string> environment_;
  std::array<SkinLayout, 2> layouts_;  // by VER_SEL: 0 the other language, 1 English
  std::unique_ptr<WrittenFileChecker> checker_;

  ScreenRect origin_;      // the main window on the screen
  std::uint8_t page_ = 0;  // the page the clicks so far have opened
  FilePurpose purpose_ = FilePurpose::None;
  int exports_ = 0;  // names given to exported files so far
  std::size_t reportsBefore_ = 0;
  int starts_ = 0;
  std::map<std::string, int> counts_;
  std::map<std::string, int> weights_;  // replaced weights
  std::chrono::seconds observeInterval_{0};
  std::function<void(pid_t, int)> observe_;
  std::vector<std::string> history_;  // the last actions, for the failure message
};

}  // namespace tolvar::testing
