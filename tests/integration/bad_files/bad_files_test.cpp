// Every file the program reads, in every bad shape: the configuration file,
// the two macro files, the four layout files and an image, each missing,
// empty, cut in the middle of a line, binary, 100 MB long, one line of 1 MB,
// UTF-16 without byte order mark, invalid UTF-8, a folder, unreadable, or a
// symbolic link loop. Each is read as the program reads it, with the real
// INI engine and image decoder. A missing file gets its message (and for a
// layout file the end of the program); any other shape reads as what it
// holds or as empty, without a message about the file; nothing crashes, hangs
// or changes any file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/state_loading.h"
#include "base/text.h"
#include "config/config_file.h"
#include "config/profile_settings.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "platform/qt/qt_image_cache.h"
#include "skin/skin_layout.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;

// What reading a file gave: the messages shown, whether the program was
// ended, and the values read, as text.
struct Outcome {
  std::vector<std::string> messages;
  bool ended = false;
  std::string values;

  std::string Text() const {
    std::string text = "ended=" + std::to_string(ended) + "\nvalues=" + values;
    for (const std::string& message : messages) text += "\nmessage=" + message;
    return text;
  }
};

class RecordingDialogs final : public MessageBoxes {
 public:
  void MessageBox(const std::u16string& text, const std::u16string& caption) override {
    messages.push_back(Utf16ToUtf8(text) + " / " + Utf16ToUtf8(caption));
  }
  std::vector<std::string> messages;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// One file the program reads: where it lies in the program's folder and how
// the program reads it.
struct FileKind {
  const char* name;
  const char* path;  // relative to the program's folder
  std::function<Outcome(const fs::path& programDir)> read;
  const char* whenMissing;  // what the outcome of a missing file holds
};

std::string JoinEntries(const std::vector<IniEntry>& entries) {
  std::string text;
  for (const IniEntry& entry : entries) text += Utf16ToUtf8(entry.key) + "=" + Utf16ToUtf8(entry.value) + ";";
  return text;
}

std::string MacroNames(const MacroTable& table) {
  std::string text = "count=" + std::to_string(table.count);
  for (int slot = 0; slot < table.count; ++slot) text += ";" + Utf16ToUtf8(MacroNameText(table.slots[slot]));
  return text;
}

Outcome ReadConfig(const fs::path& dir) {
  IniFileStore ini;
  RecordingDialogs dialogs;
  AppState app;
  const std::string file = (dir / "skins/config/config.ini").string();
  app.VER_SEL = ReadLanguage(ini, file);
  const int current = ReadCurConfig(ini, file);
  LoadProfile(app, ini, dialogs, file, current, ProfileSource::OwnSection, true);
  const std::string values = "lang=" + std::to_string(app.VER_SEL) + ";cur=" + std::to_string(current) + ";" +
                             JoinEntries(ProfileEntries(u"Config", app.Settings)) + MacroNames(app.UserMacros);
  return {dialogs.messages, false, values};
}

Outcome ReadUserMacros(const fs::path& dir) {
  IniFileStore ini;
  RecordingDialogs dialogs;
  AppState app;
  LoadUserMacros(app, ini, dialogs, (dir / "Macro_EN.dat").string(), kMacroSection);
  return {dialogs.messages, false, MacroNames(app.UserMacros) + ";selected=" + std::to_string(app.SelectedMacro)};
}

Outcome ReadFixedMacros(const fs::path& dir) {
  IniFileStore ini;
  RecordingDialogs dialogs;
  AppState app;
  LoadFixedMacros(app, ini, dialogs, (dir / "constMacro.dat").string());
  return {dialogs.messages, false, MacroNames(app.FixedMacros)};
}

template <std::size_t N>
std::string PageText(const SkinPage<N>& page) {
  std::string text;
  for (std::size_t row = 0; row < N; ++row) {
    const HotSpot& spot = page.spots[row];
    text += std::to_string(spot.x) + "," + std::to_string(spot.y) + "," + std::to_string(spot.width) + "," +
            std::to_string(spot.height) + "," + Utf16ToUtf8(page.labels[row]) + ";";
  }
  return text;
}

// One of the four layout loaders, and the page it fills.
template <typename Load, typename Page>
std::function<Outcome(const fs::path&)> ReadSkin(Load load, Page page) {
  return [load, page](const fs::path& dir) {
    IniFileStore ini;
    RecordingDialogs dialogs;
    bool ended = false;
    const SkinSource source{ini, dialogs, u"tolvar", (dir / "skins").string(), 1, [&ended] { ended = true; }};
    SkinLayout layout;
    load(source, layout);
    return Outcome{dialogs.messages, ended, page(layout)};
  };
}

Outcome ReadImage(const fs::path& dir) {
  const std::string path = (dir / "skins/main_mask.jpg").string();
  QtImageCache cache;
  const auto layer = cache.LoadImage(path);
  QtImageFileReader reader;
  const auto pixels = reader.ReadPixels(path);
  std::string values = layer ? std::to_string(layer->Image().width()) + "x" + std::to_string(layer->Image().height())
                             : std::string("no image");
  values += pixels ? ";" + std::to_string(pixels->Width()) + "x" + std::to_string(pixels->Height()) : ";no pixels";
  return {{}, false, values};
}

constexpr const char* kMissingMessage = "message=找不到配置文件";
constexpr const char* kEndedByMissing = "ended=1";

const std::vector<FileKind>& FileKinds() {
  static const std::vector<FileKind> kinds = {
      {"config", "skins/config/config.ini", ReadConfig, kMissingMessage},
      {"user_macros", "Macro_EN.dat", ReadUserMacros, kMissingMessage},
      {"fixed_macros", "constMacro.dat", ReadFixedMacros, kMissingMessage},
      {"main_layout", "skins/INI_EN/skin_main_en.ini",
       ReadSkin(LoadMainSkin, [](const SkinLayout& l) { return PageText(l.Main); }), kEndedByMissing},
      {"colour_layout", "skins/INI_EN/skin_color_en.ini",
       ReadSkin(LoadColourSkin, [](const SkinLayout& l) { return PageText(l.Colour); }), kEndedByMissing},
      {"advanced_layout", "skins/INI_EN/skin_advance_en.ini",
       ReadSkin(LoadAdvancedSkin, [](const SkinLayout& l) { return PageText(l.Advanced); }), kEndedByMissing},
      {"warning_layout", "skins/INI_EN/LBWarning_en.ini",
       ReadSkin(LoadWarningSkin, [](const SkinLayout& l) { return PageText(l.Warning); }), kEndedByMissing},
      {"mask_image", "skins/main_mask.jpg", ReadImage, "values=no image;no pixels"},
  };
  return kinds;
}

// What a bad shape must read as.
enum class Expect {
  Missing,   // exactly as when the file does not exist
  Empty,     // exactly as an empty file
  Anything,  // whatever it holds, but never as a missing file
};

struct Shape {
  const char* name;
  Expect expect;
  bool needsNonRoot = false;  // root reads any file, so the case runs as another user
  // Puts the bad file at `path`; `good` is the delivered file.
  std::function<void(const fs::path& path, const std::string& good)> make;
};

void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Utf16LeWithoutMark(const std::string& utf8) {
  std::string bytes;
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

const std::vector<Shape>& Shapes() {
  static const std::vector<Shape> shapes = {
      {"missing", Expect::Missing, false, [](const fs::path&, const std::string&) {}},
      {"empty", Expect::Empty, false, [](const fs::path& p, const std::string&) { Write(p, ""); }},
      {"cut_in_a_line", Expect::Anything, false,
       [](const fs::path& p, const std::string& good) {
         const std::size_t lineEnd = good.find('\n', good.size() / 2);
         Write(p, good.substr(0, lineEnd == std::string::npos ? good.size() / 2 : lineEnd - 2));
       }},
      {"binary", Expect::Anything, false,
       [](const fs::path& p, const std::string&) {
         std::mt19937 random(13);
         std::string bytes(64 * 1024, '\0');
         for (char& byte : bytes) byte = static_cast<char>(random());
         Write(p, bytes);
       }},
      // The delivered file padded to 100 MB: more than an INI file may hold
      // (read as empty), while an image decoder stops at the image's end.
      {"100_MB", Expect::Anything, false,
       [](const fs::path& p, const std::string& good) {
         Write(p, good);
         ASSERT_EQ(truncate(p.c_str(), 100 * 1024 * 1024), 0);
       }},
      {"one_line_of_1_MB", Expect::Anything, false,
       [](const fs::path& p, const std::string& good) {
         Write(p, good.substr(0, good.find('\n') + 1) + "0=" + std::string(1024 * 1024, '7') + "\n" + good);
       }},
      {"utf16_without_mark", Expect::Anything, false,
       [](const fs::path& p, const std::string& good) { Write(p, Utf16LeWithoutMark(good)); }},
      {"invalid_utf8", Expect::Anything, false,
       [](const fs::path& p, const std::string& good) {
         std::string bytes = good;
         for (std::size_t at = 7; at < bytes.size(); at += 11) bytes[at] = static_cast<char>(0xC0 | (at & 0x3F));
         Write(p, bytes + "\xF8\x88\x80\x80\x80\xED\xA0\x80");
       }},
      {"folder", Expect::Empty, false, [](const fs::path& p, const std::string&) { fs::create_directory(p); }},
      {"unreadable", Expect::Empty, true,
       [](const fs::path& p, const std::string& good) {
         Write(p, good);
         fs::permissions(p, fs::perms::none);
       }},
      {"symlink_loop", Expect::Missing, false,
       [](const fs::path& p, const std::string&) {
         fs::create_symlink(p.filename().string() + ".loop", p);
         fs::create_symlink(p.filename(), fs::path(p.string() + ".loop"));
       }},
  };
  return shapes;
}

// Every entry of a folder tree with what would show any write to it.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    struct stat facts {};
    lstat(entry.path().c_str(), &facts);
    entries[entry.path().string()] = std::to_string(facts.st_ino) + " " + std::to_string(facts.st_mode) + " " +
                                     std::to_string(facts.st_size) + " " + std::to_string(facts.st_mtim.tv_sec) + "." +
                                     std::to_string(facts.st_mtim.tv_nsec);
  }
  return entries;
}

// The outcome of reading as text; as another user when `asOtherUser` (the
// case then runs in a child process that gives up root).
std::string ReadAs(const FileKind& kind, const fs::path& dir, bool asOtherUser) {
  if (!asOtherUser) return kind.read(dir).Text();
  int pipeFds[2];
  EXPECT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    const std::string text = kind.read(dir).Text();
    const bool written = write(pipeFds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    _exit(written ? 0 : 4);
  }
  close(pipeFds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(got));
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the reading child failed, status " << status;
  return text;
}

// A copy of the program's files as delivered.
void InstallDelivered(const fs::path& dir) {
  fs::remove_all(dir);
  const fs::path source = TOLVAR_SOURCE_DIR;
  for (const FileKind& kind : FileKinds()) {
    const fs::path relative = kind.path;
    const fs::path from = relative.has_parent_path() ? source / relative : source / "data" / relative;
    fs::create_directories((dir / relative).parent_path());
    fs::copy_file(from, dir / relative);
  }
}

struct Case {
  std::size_t kind;
  std::size_t shape;
};

class BadFileTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvar-bad-files-" + std::to_string(getpid()) + "-" +
                                        std::to_string(GetParam().kind) + "-" + std::to_string(GetParam().shape));
    fs::remove_all(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ignored)) {
      if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_all, ignored);
    }
    fs::remove_all(dir_, ignored);
  }

  // The delivered files with the bad one in place.
  void Install(const FileKind& kind, const Shape& shape) {
    InstallDelivered(dir_);
    const fs::path target = dir_ / kind.path;
    const std::string good = ReadAll(target);
    fs::remove(target);
    shape.make(target, good);
  }

  std::string Read(const FileKind& kind, const Shape& shape, bool asOtherUser) {
    Install(kind, shape);
    if (asOtherUser) {
      // The other user must reach the file's folder.
      for (fs::path at = (dir_ / kind.path).parent_path(); at != dir_.parent_path(); at = at.parent_path()) {
        fs::permissions(at, fs::perms::all);
      }
    }
    const auto before = Snapshot(dir_);
    std::string outcome = ReadAs(kind, dir_, asOtherUser);
    EXPECT_EQ(Snapshot(dir_), before) << "reading changed a file";
    return outcome;
  }

  fs::path dir_;
};

TEST_P(BadFileTest, ReadsAsItsFailureHandlingSays) {
  const FileKind& kind = FileKinds()[GetParam().kind];
  const Shape& shape = Shapes()[GetParam().shape];
  const std::string outcome = Read(kind, shape, shape.needsNonRoot && geteuid() == 0);
  switch (shape.expect) {
    case Expect::Missing: {
      const std::string missing = Read(kind, Shapes()[0], false);
      EXPECT_NE(missing.find(kind.whenMissing), std::string::npos) << missing;
      EXPECT_EQ(outcome, missing);
      break;
    }
    case Expect::Empty:
      EXPECT_EQ(outcome, Read(kind, Shapes()[1], false));
      break;
    case Expect::Anything:
      EXPECT_EQ(outcome.find(kMissingMessage), std::string::npos) << outcome;
      EXPECT_EQ(outcome.find(kEndedByMissing), std::string::npos) << outcome;
      break;
  }
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (std::size_t kind = 0; kind < FileKinds().size(); ++kind) {
    for (std::size_t shape = 0; shape < Shapes().size(); ++shape) cases.push_back({kind, shape});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryFile, BadFileTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(FileKinds()[info.param.kind].name) + "_" +
                                  Shapes()[info.param.shape].name;
                         });

// The baseline: the delivered files read with content and without a message.
TEST(DeliveredFiles, ReadWithContentAndWithoutAMessage) {
  const fs::path dir = fs::temp_directory_path() / ("tolvar-delivered-" + std::to_string(getpid()));
  InstallDelivered(dir);
  for (const FileKind& kind : FileKinds()) {
    const Outcome outcome = kind.read(dir);
    EXPECT_TRUE(outcome.messages.empty()) << kind.name;
    EXPECT_FALSE(outcome.ended) << kind.name;
    EXPECT_EQ(outcome.values.find("no image"), std::string::npos) << kind.name;
  }
  fs::remove_all(dir);
}

// Names a file dialog may return are names, byte for byte: a profile
// exported to such a file and imported again comes back whole, and no other
// file is made.
TEST(OddFileNames, AreHandledAsNames) {
  const fs::path dir = fs::temp_directory_path() / ("tolvar-odd-names-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string names[] = {
      "my profile.ini",        "it's \"quoted\".ini", "two\nlines.ini", "bad \xff\xfe utf8.ini",
      "-starts-with-dash.ini", "$(touch pwned).ini",  "*?[a].ini",      " .ini"};
  IniFileStore ini;
  RecordingDialogs dialogs;
  AppState source;
  source.Settings.DPI_LEVEL = 3;
  source.UserMacros.count = 1;
  source.UserMacros.slots[0].name = MacroNameFrom(u"odd");
  for (const std::string& name : names) {
    const std::string file = (dir / name).string();
    EXPECT_FALSE(SaveProfile(ini, file, 7, source.Settings, source.UserMacros));
    AppState read;
    LoadProfile(read, ini, dialogs, file, 7, ProfileSource::OwnSection, true);
    EXPECT_EQ(read.Settings.DPI_LEVEL, 3) << name;
    EXPECT_EQ(read.UserMacros.count, 1) << name;
    EXPECT_EQ(MacroNameText(read.UserMacros.slots[0]), u"odd") << name;
  }
  EXPECT_TRUE(dialogs.messages.empty());
  std::vector<std::string> made;
  for (const auto& entry : fs::directory_iterator(dir)) made.push_back(entry.path().filename().string());
  std::sort(made.begin(), made.end());
  std::vector<std::string> expected(std::begin(names), std::end(names));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(made, expected);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tolvar
