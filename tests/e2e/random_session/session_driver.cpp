#include "session_driver.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "app/app_state.h"
#include "base/text.h"
#include "config/config_file.h"
#include "platform/ini/ini_file_store.h"
#include "skin/function_popups.h"
#include "skin/hot_spots.h"
#include "skin/pages.h"

namespace fs = std::filesystem;

namespace tolvar::testing {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;
constexpr int kScreenWidth = 1280;  // the virtual display of ProgramUnderTest
constexpr int kScreenHeight = 1024;

// How long the program may take before the session calls it stuck; generous,
// since the sanitized program runs on a shared, loaded machine.
constexpr auto kStartBound = 120s;
constexpr auto kEndBound = 60s;
constexpr auto kModalBound = 90s;
constexpr auto kWindowBound = 20s;
constexpr int kKeyAnswers = 3;  // answers by key before a window is closed with the mouse

// The mouse's button numbers of logical buttons 0..6.
const std::vector<int> kMouseButtons = {1, 2, 3, 5, 4, 6, 8};

// Keys pressed while a macro records.
const std::vector<std::string> kRecordedKeys = {
    "a",     "b",      "z",      "q",         "1",         "0",         "F1",     "F5",      "F12",
    "space", "Return", "Tab",    "BackSpace", "Shift_L",   "Control_L", "Alt_L",  "Escape",  "Left",
    "Right", "Up",     "Down",   "Home",      "End",       "Insert",    "Delete", "Page_Up", "minus",
    "equal", "comma",  "period", "slash",     "semicolon", "KP_1",      "KP_Add", "Print",
};

const std::vector<std::string> kRepeatTexts = {"0",     "1",  "7",   "12", "65535", "65536",
                                               "70000", "-3", "abc", "",   " 42",   "99999999999"};

std::string XdoTool(const std::string& arguments) {
  return RunAndRead("timeout 20 xdotool " + arguments + " 2>/dev/null");
}

std::string Shell(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

// Messages shown while the delivered skin is read: there must be none.
class RecordingDialogs final : public MessageBoxes {
 public:
  void MessageBox(const std::u16string& text, const std::u16string&) override { messages.push_back(Utf16ToUtf8(text)); }
  std::vector<std::string> messages;
};

std::vector<std::string> FilesIn(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().string().ends_with(suffix)) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

const std::vector<RandomSession::ActionKind>& RandomSession::Actions() {
  static const std::vector<ActionKind> actions = {
      {"move", 12, &RandomSession::MoveMouse},
      {"click", 30, &RandomSession::ClickHotSpot},
      {"press beside", 4, &RandomSession::PressBesideHotSpots},
      {"button function", 8, &RandomSession::ChooseButtonFunction},
      {"page", 6, &RandomSession::SwitchPage},
      {"language", 2, &RandomSession::SwitchLanguage},
      {"profile file", 4, &RandomSession::ProfileFile},
      {"record", 5, &RandomSession::RecordMacro},
      {"macro edit", 8, &RandomSession::EditMacros},
      {"event menu", 4, &RandomSession::UseEventMenu},
      {"macro file", 3, &RandomSession::MacroFile},
      {"keys", 3, &RandomSession::PressKeys},
      {"mouse button", 6, &RandomSession::PressMouseButton},
      {"save apply profile", 5, &RandomSession::SaveApplyOrProfile},
      {"hide", 2, &RandomSession::HideAndRestore},
      {"unplug", 2, &RandomSession::UnplugAndPlug},
  };
  return actions;
}

RandomSession::RandomSession(std::uint32_t seed)
    : seed_(seed), random_(seed), trace_(std::getenv("TOLVAR_RANDOM_TRACE") != nullptr) {}

void RandomSession::SetWeights(const std::map<std::string, int>& weights) {
  for (const auto& [name, weight] : weights) {
    const auto known = [&name](const ActionKind& action) { return action.name == name; };
    if (std::none_of(Actions().begin(), Actions().end(), known)) throw std::invalid_argument("no action " + name);
  }
  weights_ = weights;
}

void RandomSession::ObserveEvery(std::chrono::seconds interval, std::function<void(pid_t, int)> observe) {
  observeInterval_ = interval;
  observe_ = std::move(observe);
}

void RandomSession::Trace(const std::string& line) const {
  if (trace_) std::cout << "  [" << line << "]" << std::endl;
}

RandomSession::~RandomSession() = default;

// ---- The session ----

void RandomSession::Run(std::chrono::seconds duration) {
  x_ = X11Session::Open();
  if (!x_) Fail("cannot open the display " + test_.Display());
  PrepareFolders();
  tray_ = &test_.StartHelper({"trayer"});
  if (!WaitUntil([&] { return x_->SelectionOwned("_NET_SYSTEM_TRAY_S0"); }, kWindowBound)) {
    Fail("trayer did not provide a tray");
  }
  test_.StartSimulator();
  StartProgram();

  std::vector<int> weights;
  for (const ActionKind& action : Actions()) {
    const auto replaced = weights_.find(action.name);
    weights.push_back(replaced != weights_.end() ? replaced->second : action.weight);
  }
  std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
  const auto deadline = std::chrono::steady_clock::now() + duration;
  auto nextObservation = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() < deadline) {
    if (!test_.Program().Running()) {
      CheckSanitizerLogs();
      Fail("the program ended by itself, status " + std::to_string(test_.Program().WaitForExit(0ms).value_or(-1)));
    }
    CheckSanitizerLogs();
    if (observe_ && std::chrono::steady_clock::now() >= nextObservation) {
      observe_(Pid(), starts_);
      nextObservation = std::chrono::steady_clock::now() + observeInterval_;
    }
    EnsureWindowShown();
    const ActionKind& action = Actions()[pick(random_)];
    ++counts_[action.name];
    Trace(action.name + std::string(" on page ") + std::to_string(page_));
    history_.push_back(action.name);
    if (history_.size() > 12) history_.erase(history_.begin());
    (this->*action.run)();
    AnswerModals();
    Pause(50, 400);
  }
  AnswerModals();
  EndFromTrayMenu();
  ExpectEndedNormally("the exit from the tray menu");
  CheckDetachReportLast();
  CheckWrittenFiles();
}

std::string RandomSession::Counts() const {
  std::ostringstream text;
  int total = 0;
  for (const ActionKind& action : Actions()) {
    const auto found = counts_.find(action.name);
    const int count = found != counts_.end() ? found->second : 0;
    total += count;
    text << "  " << action.name << ": " << count << "\n";
  }
  text << "  all actions: " << total << "\n";
  text << "  program starts: " << starts_ << "\n";
  text << "  files exported: " << FilesIn(work_ + "/exchange", "").size() << "\n";
  text << "  desktop programs started by button functions: " << ReadLines(work_ + "/launched.log").size() << "\n";
  return text.str();
}

void RandomSession::Fail(const std::string& what) const {
  std::string recent;
  for (const std::string& name : history_) recent += (recent.empty() ? "" : ", ") + name;
  throw SessionFailure(what + "\n(seed " + std::to_string(seed_) + "; replay with TOLVAR_RANDOM_SEED=" +
                       std::to_string(seed_) + "; the last actions: " + recent + ")");
}

// ---- The program's life ----

void RandomSession::PrepareFolders() {
  work_ = fs::path(test_.AppDir()).parent_path().string() + "/session";
  for (const char* folder : {"bin", "exchange", "bad", "sanitizer"}) fs::create_directories(work_ + "/" + folder);

  // The desktop programs of the button functions are stand-ins that only
  // note their start; nothing else is on the program's PATH, so no browser
  // or real program can open.
  for (const char* name : {"xcalc", "xterm"}) {
    const std::string path = work_ + "/bin/" + name;
    std::ofstream(path) << "#!/bin/sh\necho " << name << " >> " << Shell(work_ + "/launched.log") << "\n";
    fs::permissions(path, fs::perms::owner_all);
  }

  // Files a user might pick by mistake: empty, and bytes that are no INI text.
  std::string garbage;
  for (int i = 0; i < 4096; ++i) {
    char c = static_cast<char>(Random(0, 255));
    if (c == '[' || c == '=') c = '?';
    garbage += c;
  }
  for (const auto& [name, content] : std::vector<std::pair<std::string, std::string>>{
           {"empty.ini", ""}, {"empty.dat", ""}, {"garbage.ini", garbage}, {"garbage.dat", garbage}}) {
    std::ofstream(work_ + "/bad/" + name, std::ios::binary) << content;
  }

  deliveredConfig_ = work_ + "/delivered-config.ini";
  fs::copy_file(test_.ConfigPath(), deliveredConfig_);
  checker_ = std::make_unique<WrittenFileChecker>(deliveredConfig_);

  // What the program reads but never writes.
  for (const auto& [file, content] : test_.FolderSnapshot()) {
    if (file != test_.ConfigPath() && !file.ends_with("/Macro_EN.dat") && !file.ends_with("/Macro_CN.dat") &&
        !file.ends_with("/tolvar")) {
      untouched_[file] = content;
    }
  }
  for (const std::string& file : FilesIn(work_ + "/bad", "")) untouched_[file] = ReadWholeFile(file);

  const std::string sanitizerLog = work_ + "/sanitizer/report";
  environment_ = test_.ProgramEnvironment();
  environment_["PATH"] = work_ + "/bin";
  // The program ends with _Exit, so a leak check at exit would never run;
  // leaks are checked by the unit and integration tests under ASan. No
  // strict string checks: libxkbcommon-x11 hands strndup names that are not
  // NUL-terminated, which strndup allows.
  environment_["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=0:log_path=" + sanitizerLog;
  environment_["UBSAN_OPTIONS"] = "print_stacktrace=1:log_path=" + sanitizerLog;
  if (const std::string symbolizer = FindOnPath("llvm-symbolizer"); !symbolizer.empty()) {
    environment_["ASAN_SYMBOLIZER_PATH"] = symbolizer;
  }

  IniFileStore ini;
  RecordingDialogs dialogs;
  for (std::uint8_t verSel : {0, 1}) {
    const SkinSource source{ini, dialogs, u"tolvar", test_.AppDir() + "/skins", verSel, [] {}};
    if (!LoadAllSkins(source, layouts_[verSel]) || !dialogs.messages.empty()) {
      Fail("the delivered skin layout could not be read");
    }
  }
}

void RandomSession::StartProgram() {
  reportsBefore_ = FeatureReports(test_.SimLog()).size();
  test_.StartProgram(true, {}, environment_);
  ++starts_;
  page_ = kMainPage;
  if (!test_.WaitForFeatureReports(reportsBefore_ + kSettingsReports, kStartBound)) {
    if (!test_.Program().Running()) ExpectEndedNormally("start " + std::to_string(starts_));
    Fail("start " + std::to_string(starts_) + ": the settings never reached the mouse");
  }
  WaitForMainWindow();
}

void RandomSession::WaitForMainWindow() {
  if (!WaitUntil([&] { return MainWindow().has_value(); }, kStartBound)) {
    Fail("the main window did not appear; windows open: " + WindowList());
  }
  origin_ = x_->Geometry(*MainWindow()).value_or(origin_);
}

void RandomSession::EndFromTrayMenu() {
  const std::optional<XWindowId> icon = TrayIcon();
  if (!icon) Fail("the program's tray icon is missing at the end");
  const ScreenRect place = x_->Geometry(*icon).value_or(ScreenRect{});
  const std::vector<XWindowId> before = x_->ViewableWindowsOf(Pid());
  XdoTool("mousemove --sync " + Point(place.x + place.width / 2, place.y + place.height / 2) + " click 3");
  std::optional<XWindowId> menu;
  WaitUntil(
      [&] {
        for (const XWindowId w : x_->ViewableWindowsOf(Pid())) {
          if (std::find(before.begin(), before.end(), w) == before.end()) menu = w;
        }
        return menu.has_value();
      },
      kWindowBound);
  if (!menu) Fail("a right click on the tray icon opened no menu; windows open: " + WindowList());
  // The menu holds "Show Window", "Profile per application..." and then
  // "Exit Driver" (the last third); clicked with the
  // mouse, which a recording in progress does not take.
  const ScreenRect m = x_->Geometry(*menu).value_or(ScreenRect{});
  XdoTool("mousemove --sync " + Point(m.x + m.width / 2, m.y + m.height * 3 / 4) + " click 1");
}

void RandomSession::ExpectEndedNormally(const std::string& how) {
  const std::optional<int> status = test_.Program().WaitForExit(kEndBound);
  if (!status) Fail(how + ": the program did not end; windows open: " + WindowList());
  CheckSanitizerLogs();
  if (*status != 0) Fail(how + ": the program ended with status " + std::to_string(*status));
}

void RandomSession::CheckSanitizerLogs() const {
  for (const std::string& file : FilesIn(work_ + "/sanitizer", "")) {
    const std::string report = ReadWholeFile(file);
    if (!report.empty()) Fail("a sanitizer report (" + file + "):\n" + report.substr(0, 20000));
  }
}

void RandomSession::CheckWrittenFiles() const {
  std::vector<std::string> problems = checker_->CheckConfigFile(test_.ConfigPath());
  for (const char* name : {"/Macro_EN.dat", "/Macro_CN.dat"}) {
    const std::vector<std::string> more = checker_->CheckMacroFile(test_.AppDir() + name);
    problems.insert(problems.end(), more.begin(), more.end());
  }
  for (const auto& entry : fs::directory_iterator(work_ + "/exchange")) {
    const std::string file = entry.path().string();
    std::vector<std::string> more;
    if (file.ends_with(".ini")) {
      more = checker_->CheckExportedProfile(file);
    } else if (file.ends_with(".dat")) {
      more = checker_->CheckMacroFile(file);
    } else {
      more = {file + ": an export was written without its suffix"};
    }
    problems.insert(problems.end(), more.begin(), more.end());
  }
  for (const auto& [file, content] : untouched_) {
    if (!fs::exists(file) || ReadWholeFile(file) != content) problems.push_back(file + " was changed or removed");
  }
  if (!problems.empty()) {
    std::string text;
    for (const std::string& problem : problems) text += "\n  " + problem;
    Fail("written files out of order:" + text);
  }
}

void RandomSession::CheckDetachReportLast() const {
  const std::vector<SimRecord> reports = FeatureReports(test_.SimLog());
  const std::vector<std::uint8_t> detach = {0x07, 0x20, 0x00, 0x00};
  if (reports.empty() || reports.back().bytes.size() < detach.size() ||
      !std::equal(detach.begin(), detach.end(), reports.back().bytes.begin())) {
    Fail("the last feature report is not the detach report: " +
         (reports.empty() ? std::string("none") : reports.back().text));
  }
}

// ---- Windows ----

pid_t RandomSession::Pid() { return test_.Program().Pid(); }

std::optional<XWindowId> RandomSession::MainWindow() { return x_->WindowTitled(Pid(), Utf16ToUtf8(kWindowTitle)); }

std::optional<XWindowId> RandomSession::TrayIcon() { return x_->WindowEmbeddedIn(tray_->Pid(), Pid()); }

std::vector<RandomSession::Modal> RandomSession::OpenModals() {
  const std::string mainTitle = Utf16ToUtf8(kWindowTitle);
  const std::string menuTitle = Utf16ToUtf8(kMenuWindowTitle);
  const std::optional<XWindowId> icon = TrayIcon();
  std::vector<Modal> modals;
  for (const XWindowId w : x_->ViewableWindowsOf(Pid())) {
    const std::string title = x_->Title(w);
    if (title == mainTitle || title == menuTitle || w == icon) continue;
    const std::vector<std::string> types = x_->WindowTypes(w);
    const std::optional<XWindowId> owner = x_->TransientFor(w);
    const std::string ownerTitle = owner ? x_->Title(*owner) : "";
    if (Has(types, "_NET_WM_WINDOW_TYPE_TOOLTIP")) continue;
    ModalKind kind = ModalKind::Other;
    if (Has(types, "_NET_WM_WINDOW_TYPE_UTILITY")) {
      if (ownerTitle == menuTitle) continue;  // the secondary popup, not modal
      kind = ModalKind::Warning;
    } else if (Has(types, "_NET_WM_WINDOW_TYPE_POPUP_MENU") || Has(types, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU") ||
               Has(types, "_NET_WM_WINDOW_TYPE_COMBO")) {
      kind = ModalKind::Menu;
    } else if (title == "Open" || title == "Save As") {
      kind = ownerTitle == title ? ModalKind::FileDialogQuestion : ModalKind::FileDialog;
    } else if (title == "Select Color") {
      kind = ModalKind::ColourDialog;
    } else if (Has(types, "_NET_WM_WINDOW_TYPE_DIALOG")) {
      kind = ModalKind::MessageBox;
    }
    modals.push_back({w, kind, title});
  }
  // The innermost first: menus and the questions a dialog asks before the dialog.
  std::stable_sort(modals.begin(), modals.end(), [](const Modal& a, const Modal& b) { return a.kind > b.kind; });
  return modals;
}

std::string RandomSession::WindowList() {
  std::string list;
  for (const XWindowId w : x_->ViewableWindowsOf(Pid())) {
    std::string types;
    for (const std::string& type : x_->WindowTypes(w)) types += " " + type;
    list += "\n  \"" + x_->Title(w) + "\"" + types;
  }
  return list.empty() ? " none" : list;
}

void RandomSession::AnswerModals() {
  const auto deadline = std::chrono::steady_clock::now() + kModalBound;
  std::map<XWindowId, int> answers;
  for (std::vector<Modal> modals = OpenModals(); !modals.empty(); modals = OpenModals()) {
    if (std::chrono::steady_clock::now() > deadline) {
      Fail("modal windows stayed open for " + std::to_string(kModalBound.count()) + " s:" + WindowList());
    }
    if (!test_.Program().Running()) return;
    // A window that keys did not close (the keyboard may be grabbed by a
    // recording) is closed with the mouse, as a person would.
    const int tries = ++answers[modals.front().window];
    if (tries > kKeyAnswers) {
      CloseWithMouse(modals.front(), tries > 2 * kKeyAnswers);
    } else {
      Answer(modals.front());
    }
    Pause(200, 400);
  }
}

void RandomSession::CloseWithMouse(const Modal& modal, bool insideMenu) {
  Trace("closing \"" + modal.title + "\" with the mouse");
  const ScreenRect place = x_->Geometry(modal.window).value_or(ScreenRect{});
  switch (modal.kind) {
    case ModalKind::Warning: {
      const HotSpot& cancel = Layout().Warning.Spot(warning_row::kCancel);
      XdoTool("mousemove --sync " +
              Point(place.x + cancel.x + cancel.width / 2, place.y + cancel.y + cancel.height / 2) + " click 1");
      break;
    }
    case ModalKind::Menu:
    case ModalKind::Other:
      // Beside it, and when that does not close it either, its first item.
      XdoTool("mousemove --sync " +
              (insideMenu ? Point(place.x + place.width / 2, place.y + 10) : Point(kScreenWidth - 5, 5)) + " click 1");
      break;
    default:
      // The last button of a dialog's button row: Cancel, No or OK.
      XdoTool("mousemove --sync " + Point(place.x + place.width - 45, place.y + place.height - 22) + " click 1");
      break;
  }
}

void RandomSession::Answer(const Modal& modal) {
  if (trace_) {
    std::string types;
    for (const std::string& type : x_->WindowTypes(modal.window)) types += " " + type;
    Trace("answering \"" + modal.title + "\", kind " + std::to_string(static_cast<int>(modal.kind)) + types);
  }
  const auto focusAndKey = [&](const std::string& keys) {
    XdoTool("windowfocus " + std::to_string(modal.window));
    Pause(50, 100);
    Keys(keys);
  };
  switch (modal.kind) {
    case ModalKind::Menu:
    case ModalKind::Other:
      focusAndKey("Escape");
      break;
    case ModalKind::Warning: {
      const int choice = Random(0, 2);
      if (choice == 2) {
        focusAndKey("Escape");
        break;
      }
      const ScreenRect place = x_->Geometry(modal.window).value_or(ScreenRect{});
      const HotSpot& button = Layout().Warning.Spot(choice == 0 ? warning_row::kConfirm : warning_row::kCancel);
      XdoTool("mousemove --sync " +
              Point(place.x + button.x + button.width / 2, place.y + button.y + button.height / 2) + " click 1");
      break;
    }
    case ModalKind::FileDialog:
      AnswerFileDialog(modal);
      break;
    case ModalKind::FileDialogQuestion:
      // "Replace the file?" of a save dialog, "file not found" of an open dialog.
      focusAndKey(modal.title == "Save As" && Chance(60) ? "alt+y" : "Escape");
      break;
    case ModalKind::ColourDialog:
      if (Chance(60)) {
        // A colour from the basic colours at its top left, then OK.
        const ScreenRect place = x_->Geometry(modal.window).value_or(ScreenRect{});
        XdoTool("mousemove --sync " +
                Point(place.x + Random(15, place.width * 2 / 5), place.y + Random(30, place.height / 3)) + " click 1");
        focusAndKey("Return");
      } else {
        focusAndKey("Escape");
      }
      break;
    case ModalKind::MessageBox:
      focusAndKey(Chance(80) ? "Return" : "Escape");
      break;
  }
}

void RandomSession::AnswerFileDialog(const Modal& modal) {
  const bool open = modal.title == "Open";
  const FilePurpose purpose = purpose_;
  std::optional<std::string> path;
  if (Chance(80)) {
    if (open) {
      std::vector<std::string> choices = FilesIn(work_ + "/bad", "");
      const std::string wanted = purpose == FilePurpose::ImportMacros ? ".dat" : ".ini";
      for (const std::string& file : FilesIn(work_ + "/exchange", Chance(80) ? wanted : "")) {
        choices.push_back(file);
        choices.push_back(file);  // an earlier export twice as likely as a bad file
      }
      choices.push_back(work_ + "/exchange/missing" + wanted);
      path = Pick(choices);
    } else if (purpose == FilePurpose::ExportProfile || purpose == FilePurpose::ExportMacros) {
      const std::string suffix = purpose == FilePurpose::ExportProfile ? ".ini" : ".dat";
      const std::vector<std::string> earlier = FilesIn(work_ + "/exchange", suffix);
      if (!earlier.empty() && Chance(30)) {
        path = Pick(earlier);
      } else {
        const std::string name =
            work_ + "/exchange/" + (suffix == ".ini" ? "profile-" : "macros-") + std::to_string(++exports_);
        path = Chance(50) ? name : name + suffix;  // the dialog adds a missing suffix
      }
    }
  }
  Trace(path ? "typed " + *path : std::string("cancelled"));
  XdoTool("windowfocus " + std::to_string(modal.window));
  Pause(50, 100);
  if (path) {
    Keys("ctrl+a");
    TypeText(*path);
    Keys("Return");
  } else {
    Keys("Escape");
  }
}

void RandomSession::EnsureWindowShown() {
  if (!MainWindow()) {
    WaitUntil([&] { return MainWindow().has_value(); }, 1s);
  }
  if (!MainWindow()) {
    if (const std::optional<XWindowId> icon = TrayIcon()) {
      const ScreenRect place = x_->Geometry(*icon).value_or(ScreenRect{});
      XdoTool("mousemove --sync " + Point(place.x + place.width / 2, place.y + place.height / 2) +
              " click --repeat 2 --delay 80 1");
      WaitUntil([&] { return MainWindow().has_value(); }, 10s);
    }
  }
  if (!MainWindow()) {
    // A second start brings the first instance's window back and ends.
    ChildProcess second({test_.AppDir() + "/tolvar"}, environment_);
    const std::optional<int> status = second.WaitForExit(kStartBound);
    CheckSanitizerLogs();
    if (status != 0) Fail("a second start did not end normally");
    WaitForMainWindow();
  }
  origin_ = x_->Geometry(*MainWindow()).value_or(origin_);
}

// ---- Clicks and keys ----

std::uint8_t RandomSession::Language() const {
  IniFileStore ini;
  return ReadLanguage(ini, test_.ConfigPath()) != 0 ? 1 : 0;
}

const SkinLayout& RandomSession::Layout() const { return layouts_[Language()]; }

void RandomSession::ClickAt(int x, int y, int button) {
  XdoTool("mousemove --sync " + Point(origin_.x + x, origin_.y + y) + " click " + std::to_string(button));
  Pause(150, 300);
}

void RandomSession::ClickSpot(const HotSpot& spot) {
  ClickAt(spot.x + Random(0, std::max(0, spot.width - 1)), spot.y + Random(0, std::max(0, spot.height - 1)));
}

void RandomSession::ClickRect(const Rect& area) {
  ClickAt(Random(area.left, std::max(area.left, area.right - 1)),
          Random(area.top, std::max(area.top, area.bottom - 1)));
}

void RandomSession::ClickMainRow(int row) {
  ClickSpot(Layout().Main.Spot(row));
  AfterMainRowPress(row);
}

void RandomSession::ClickAdvancedRow(int row) {
  ClickSpot(Layout().Advanced.Spot(row));
  AfterAdvancedRowPress(row);
}

void RandomSession::AfterMainRowPress(int row) {
  if (row == main_row::kMainTab) page_ = kMainPage;
  if (row == main_row::kAdvancedTab) page_ = kAdvancedPage;
  if (row == main_row::kColourTab) page_ = kColourPage;
  if (row == main_row::kImportProfile) purpose_ = FilePurpose::ImportProfile;
  if (row == main_row::kExportProfile) purpose_ = FilePurpose::ExportProfile;
}

void RandomSession::AfterAdvancedRowPress(int row) {
  if (page_ != kAdvancedPage) return;
  if (row == advanced_row::kImportMacros) purpose_ = FilePurpose::ImportMacros;
  if (row == advanced_row::kExportMacros) purpose_ = FilePurpose::ExportMacros;
}

void RandomSession::OpenAdvancedPage() {
  if (page_ != kAdvancedPage) ClickMainRow(main_row::kAdvancedTab);
}

void RandomSession::OpenMainPage() {
  if (page_ != kMainPage) ClickMainRow(main_row::kMainTab);
}

void RandomSession::TypeText(const std::string& text) {
  if (!text.empty()) XdoTool("type --delay 15 -- " + Shell(text));
}

void RandomSession::Keys(const std::string& keys) { XdoTool("key --delay 40 " + keys); }

std::string RandomSession::RandomText() {
  static const std::vector<std::string> pieces = {"a", "B", "x", "7", " ", "-", "_", "macro", "Ü", "한", "ß", "0"};
  std::string text;
  for (int i = Random(0, 8); i > 0; --i) text += Pick(pieces);
  return text;
}

std::string RandomSession::RandomKeyName() { return Pick(kRecordedKeys); }

void RandomSession::Pause(int minMs, int maxMs) {
  std::this_thread::sleep_for(std::chrono::milliseconds(Random(minMs, maxMs)));
}

int RandomSession::Random(int min, int max) { return std::uniform_int_distribution<int>(min, max)(random_); }

// ---- The actions ----

void RandomSession::MoveMouse() {
  if (Chance(70)) {
    XdoTool("mousemove " +
            Point(origin_.x + Random(-50, origin_.width + 50), origin_.y + Random(-50, origin_.height + 50)));
  } else {
    XdoTool("mousemove " + Point(Random(0, kScreenWidth - 1), Random(0, kScreenHeight - 1)));
  }
  Pause(20, 150);
}

void RandomSession::ClickHotSpot() {
  // The rows the current page tests: the whole main page, or the header and
  // the page's own list.
  enum class List { Main, Colour, Advanced };
  std::vector<std::pair<List, int>> rows;
  const SkinLayout& layout = Layout();
  const auto add = [&](List list, int count, const auto& page) {
    for (int row = 0; row < count; ++row) {
      if (page.Spot(row).width > 0 && page.Spot(row).height > 0) rows.emplace_back(list, row);
    }
  };
  add(List::Main, page_ == kMainPage ? main_row::kTested.Count() : main_row::kHeader.Count(), layout.Main);
  if (page_ == kColourPage) add(List::Colour, colour_row::kTested.Count(), layout.Colour);
  if (page_ == kAdvancedPage) add(List::Advanced, advanced_row::kTested.Count(), layout.Advanced);
  const auto [list, row] = Pick(rows);
  const HotSpot& spot = list == List::Main     ? layout.Main.Spot(row)
                        : list == List::Colour ? layout.Colour.Spot(row)
                                               : layout.Advanced.Spot(row);
  if (Chance(80)) {
    ClickSpot(spot);
  } else {
    // Pressed on the spot, released after a move that may leave it.
    XdoTool("mousemove --sync " + Point(origin_.x + spot.x + spot.width / 2, origin_.y + spot.y + spot.height / 2) +
            " mousedown 1");
    Pause(30, 300);
    XdoTool("mousemove_relative --sync -- " + Point(Random(-30, 30), Random(-30, 30)) + " mouseup 1");
    Pause(150, 300);
  }
  if (list == List::Main) AfterMainRowPress(row);
  if (list == List::Advanced) AfterAdvancedRowPress(row);
}

void RandomSession::PressBesideHotSpots() {
  const SkinLayout& layout = Layout();
  const int mainRows = page_ == kMainPage ? main_row::kTested.Count() : main_row::kHeader.Count();
  for (int attempt = 0; attempt < 50; ++attempt) {
    const int x = Random(0, origin_.width - 1);
    const int y = Random(0, origin_.height - 1);
    if (layout.Main.RowAt(x, y, mainRows) != kNone) continue;
    if (page_ == kColourPage && layout.Colour.RowAt(x, y, colour_row::kTested.Count()) != kNone) continue;
    if (page_ == kAdvancedPage && layout.Advanced.RowAt(x, y, advanced_row::kTested.Count()) != kNone) continue;
    // A drag that keeps the whole window on the screen.
    const int dx = std::clamp(Random(-60, 60), -origin_.x, kScreenWidth - origin_.width - origin_.x);
    const int dy = std::clamp(Random(-60, 60), -origin_.y, kScreenHeight - origin_.height - origin_.y);
    XdoTool("mousemove --sync " + Point(origin_.x + x, origin_.y + y) + " mousedown 1");
    Pause(50, 150);
    XdoTool("mousemove_relative --sync -- " + Point(dx / 2, dy / 2));
    XdoTool("mousemove_relative --sync -- " + Point(dx - dx / 2, dy - dy / 2) + " mouseup 1");
    Pause(150, 300);
    if (const std::optional<XWindowId> main = MainWindow()) origin_ = x_->Geometry(*main).value_or(origin_);
    return;
  }
}

void RandomSession::ChooseButtonFunction() {
  OpenMainPage();
  ClickMainRow(Random(main_row::kAssignments.first, main_row::kAssignments.last));
  const std::string menuTitle = Utf16ToUtf8(kMenuWindowTitle);
  std::optional<XWindowId> menu;
  WaitUntil(
      [&] {
        menu = x_->WindowTitled(Pid(), menuTitle);
        return menu.has_value() || !OpenModals().empty();
      },
      5s);
  if (!menu) {
    AnswerModals();  // the warning
    WaitUntil([&] { return (menu = x_->WindowTitled(Pid(), menuTitle)).has_value(); }, 3s);
  }
  if (!menu) return;  // cancelled
  const ScreenRect place = x_->Geometry(*menu).value_or(ScreenRect{});
  int bottom = 0;
  for (const ScreenRect& r : x_->BoundingShape(*menu)) bottom = std::max(bottom, r.y + r.height);
  const int itemHeight = std::max(1, (bottom - 1) / kMenuItems);
  const auto itemPoint = [&](const ScreenRect& popup, int item) {
    return Point(popup.x + Random(10, std::max(10, popup.width - 10)),
                 popup.y + (item - 1) * itemHeight + itemHeight / 2);
  };
  const int choice = Random(0, 9);
  if (choice < 4) {
    XdoTool("mousemove --sync " + itemPoint(place, Random(1, kMenuItems - 4)) + " click 1");
  } else if (choice < 8) {
    XdoTool("mousemove --sync " + itemPoint(place, Random(kMenuItems - 3, kMenuItems)));
    std::optional<XWindowId> sub;
    WaitUntil(
        [&] {
          for (const XWindowId w : x_->ViewableWindowsOf(Pid())) {
            if (x_->TransientFor(w) == menu) sub = w;
          }
          return sub.has_value();
        },
        3s);
    if (sub) {
      const ScreenRect subPlace = x_->Geometry(*sub).value_or(ScreenRect{});
      XdoTool("mousemove --sync " + itemPoint(subPlace, Random(1, kSubMenuMaskRows)) + " click 1");
    }
  } else {
    // A press elsewhere on the main page closes the popup.
    ClickAt(Random(0, 200), Random(origin_.height - 40, origin_.height - 1));
  }
  Pause(200, 400);
}

void RandomSession::SwitchPage() {
  ClickMainRow(Pick(std::vector<int>{main_row::kMainTab, main_row::kAdvancedTab, main_row::kColourTab}));
}

void RandomSession::SwitchLanguage() { ClickMainRow(Chance(50) ? main_row::kOtherLanguage : main_row::kEnglish); }

void RandomSession::ProfileFile() { ClickMainRow(Chance(50) ? main_row::kImportProfile : main_row::kExportProfile); }

void RandomSession::RecordMacro() {
  OpenAdvancedPage();
  if (Chance(50)) ClickRect(Layout().Areas.MacroListArea);
  ClickAdvancedRow(advanced_row::kRecord);
  if (Chance(10)) {
    // More keys than a recording takes.
    std::string keys;
    for (int i = Random(100, 240); i > 0; --i) keys += " " + RandomKeyName();
    XdoTool("key --delay 5" + keys);
  }
  for (int i = Random(1, 12); i > 0; --i) {
    const std::string key = RandomKeyName();
    if (Chance(70)) {
      XdoTool("keydown " + key + " sleep " + std::to_string(Random(0, 300) / 1000.0) + " keyup " + key);
    } else {
      Keys(key);
    }
    if (Chance(10)) ClickRect(Layout().Areas.NameEditArea);  // the grab keeps the keys from the edit
    Pause(0, 300);
  }
  ClickAdvancedRow(advanced_row::kRecord);
  if (Chance(60)) ClickAdvancedRow(advanced_row::kSaveMacros);
}

void RandomSession::EditMacros() {
  OpenAdvancedPage();
  const AdvancedAreas& areas = Layout().Areas;
  switch (Random(0, 7)) {
    case 0:  // a new macro under a typed name
      ClickRect(areas.NameEditArea);
      Keys("ctrl+a");
      TypeText(RandomText());
      ClickAdvancedRow(advanced_row::kAddMacro);
      break;
    case 1:
      ClickRect(areas.MacroListArea);
      ClickAdvancedRow(advanced_row::kDeleteMacro);
      break;
    case 2:
      ClickAdvancedRow(advanced_row::kSaveMacros);
      break;
    case 3:
      ClickAdvancedRow(Chance(50) ? advanced_row::kRepeatMode : advanced_row::kHeldMode);
      break;
    case 4:  // a repeat count typed, then left by Return, Tab or a click elsewhere
      ClickRect(areas.RepeatEditArea);
      Keys("ctrl+a");
      TypeText(Pick(kRepeatTexts));
      if (Chance(50)) {
        Keys(Chance(50) ? "Return" : "Tab");
      } else {
        ClickRect(areas.MacroListArea);
      }
      break;
    case 5:
      ClickRect(areas.NameEditArea);
      TypeText(RandomText());
      break;
    default:
      ClickRect(Chance(70) ? areas.MacroListArea : areas.EventListArea);
      break;
  }
}

void RandomSession::UseEventMenu() {
  OpenAdvancedPage();
  const Rect& list = Layout().Areas.EventListArea;
  if (Chance(50)) ClickRect(list);
  if (Chance(40)) {
    // The in-place delay edit: Ctrl+A on the selected line, a value, then
    // Enter, Escape, or a scroll or click that ends it.
    ClickRect(list);
    Keys("ctrl+a");
    TypeText(Pick(std::vector<std::string>{"0", "9", "300", "65535", "65536", "-20", "1e3", ""}));
    switch (Random(0, 3)) {
      case 0:
        Keys("Return");
        break;
      case 1:
        Keys("Escape");
        break;
      case 2:
        XdoTool("click " + std::string(Chance(50) ? "4" : "5"));
        break;
      default:
        ClickRect(Layout().Areas.MacroListArea);
        break;
    }
    return;
  }
  const std::size_t windows = x_->ViewableWindowsOf(Pid()).size();
  ClickAt(Random(list.left, list.right - 1), Random(list.top, list.bottom - 1), 3);
  if (!WaitUntil([&] { return x_->ViewableWindowsOf(Pid()).size() > windows; }, 2s)) return;
  std::string keys;
  for (int i = Random(1, 5); i > 0; --i)
    keys += " " + Pick(std::vector<std::string>{"Down", "Down", "Up", "Right", "Left"});
  Keys(keys + (Chance(85) ? " Return" : " Escape"));
  Pause(150, 300);
  if (Chance(50)) {
    // The delay of "Modify Delay", when that was chosen; else the keys go nowhere in particular.
    TypeText(Pick(std::vector<std::string>{"0", "5", "250", "65535", "70000", "-1", "x"}));
    Keys(Chance(80) ? "Return" : "Escape");
  }
}

void RandomSession::PressKeys() {
  // Keys that must not close the window: Escape, Enter, F10, Alt+F4 and others.
  if (Chance(50)) ClickAt(Random(0, origin_.width - 1), Random(0, origin_.height - 1));
  std::string keys;
  for (int i = Random(1, 4); i > 0; --i) {
    keys += " " + Pick(std::vector<std::string>{"Escape", "Return", "F10", "alt+F4", "space", "Tab", "a", "KP_Enter",
                                                "ctrl+a", "Insert", "Delete", "Down", "Up"});
  }
  Keys(keys);
}

void RandomSession::MacroFile() {
  OpenAdvancedPage();
  ClickAdvancedRow(Chance(50) ? advanced_row::kImportMacros : advanced_row::kExportMacros);
}

void RandomSession::PressMouseButton() {
  const int button = Chance(90) ? Pick(kMouseButtons) : Random(0, 15);
  const std::string value = Chance(90) ? "" : " " + std::to_string(Random(0, 255));
  for (int presses = Chance(20) ? 2 : 1; presses > 0; --presses) {
    test_.SimCommand("press " + std::to_string(button) + value);
    Pause(0, 1500);
    test_.SimCommand("release " + std::to_string(button));
    Pause(0, 400);
  }
}

void RandomSession::SaveApplyOrProfile() {
  const int choice = Random(0, 6);
  if (choice == 0) {
    ClickMainRow(main_row::kSave);
  } else if (choice == 1) {
    ClickMainRow(main_row::kApply);
  } else {
    ClickMainRow(main_row::kProfiles.first + choice - 2);
  }
}

void RandomSession::HideAndRestore() {
  ClickMainRow(Pick(std::vector<int>{main_row::kHide, main_row::kMinimise, main_row::kToTray}));
  Pause(200, 1500);
  EnsureWindowShown();
}

void RandomSession::UnplugAndPlug() {
  // Sometimes while something is under way: a file dialog, a recording, a
  // macro, a button function popup or the warning, the colour dialog, or
  // with the window hidden.
  switch (Random(0, 7)) {
    case 0:
      ClickMainRow(Chance(50) ? main_row::kImportProfile : main_row::kExportProfile);
      WaitUntil([&] { return !OpenModals().empty(); }, 5s);
      break;
    case 1:
      OpenAdvancedPage();
      ClickAdvancedRow(advanced_row::kRecord);
      Keys(RandomKeyName());
      break;
    case 2:
      test_.SimCommand("press " + std::to_string(Pick(kMouseButtons)));
      break;
    case 3:
      OpenMainPage();
      ClickMainRow(Random(main_row::kAssignments.first, main_row::kAssignments.last));
      Pause(300, 600);
      break;
    case 4:
      OpenMainPage();
      ClickMainRow(Random(main_row::kLevelColours.first, main_row::kLevelColours.first + kDpiLevelCount - 1));
      WaitUntil([&] { return !OpenModals().empty(); }, 5s);
      break;
    case 5:
      ClickMainRow(main_row::kToTray);
      Pause(300, 600);
      break;
    default:
      break;
  }
  test_.SimCommand("unplug");
  ExpectEndedNormally("the end on unplug");
  CheckWrittenFiles();
  Pause(200, 2000);
  test_.SimCommand("plug");
  StartProgram();
}

}  // namespace tolvar::testing
