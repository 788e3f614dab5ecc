#include "skin/skin_layout.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "base/text.h"
#include "skin_fakes.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;

struct SplitCase {
  const char* name;
  std::u16string value;
  SkinRow fields;
  bool tooManyCommas;
};

TEST(SplitSkinRowTest, CutsFieldsWithTheCommaCursor) {
  const std::u16string long259(259, u'a');
  const SplitCase cases[] = {
      {"six commas", u"Back,10,20,30,40,Save,x", {u"Back", u"10", u"20", u"30", u"40", u"Save", u"x"}, false},
      {"seven commas keep the rest in field 6",
       u"Back,10,20,30,40,Save,x,y",
       {u"Back", u"10", u"20", u"30", u"40", u"Save", u"x,y"},
       true},
      {"four commas restart at the beginning", u"a,1,2,3,4", {u"a", u"1", u"2", u"3", u"", u"a", u"1,2,3,4"}, false},
      {"one comma", u"Left,Click", {u"Left", u"", u"Left", u"", u"Left", u"", u"Left,Click"}, false},
      {"no comma", u"Whole value", {u"Whole value", u"", u"", u"", u"", u"", u""}, false},
      {"empty", u"", {}, false},
      {"only commas", u",,,,,,", {}, false},
      {"trailing comma", u"a,b,c,d,e,f,", {u"a", u"b", u"c", u"d", u"e", u"f", u""}, false},
      {"fields are not trimmed", u" n , 1,2 ,3,4,La bel,", {u" n ", u" 1", u"2 ", u"3", u"4", u"La bel", u""}, false},
      {"300 characters are cut to 259 before splitting", long259 + u",1,2,3,4,5,6", {long259}, false},
      {"a comma at the last kept character counts",
       std::u16string(258, u'b') + u",12345",
       {std::u16string(258, u'b'), u"", std::u16string(258, u'b'), u"", std::u16string(258, u'b'), u"",
        std::u16string(258, u'b') + u","},
       false},
      {"many commas", u"a,b,c,d,e,f,g,h,i", {u"a", u"b", u"c", u"d", u"e", u"f", u"g,h,i"}, true},
  };
  for (const auto& c : cases) {
    const SplitRow split = SplitSkinRow(c.value);
    EXPECT_EQ(split.fields, c.fields) << c.name;
    EXPECT_EQ(split.tooManyCommas, c.tooManyCommas) << c.name;
  }
}

TEST(HotSpotTest, ExcludesTheRightAndBottomEdges) {
  const HotSpot spot{10, 20, 30, 40};
  EXPECT_TRUE(spot.Contains(10, 20));
  EXPECT_TRUE(spot.Contains(39, 59));
  EXPECT_FALSE(spot.Contains(40, 20));
  EXPECT_FALSE(spot.Contains(10, 60));
  EXPECT_FALSE(spot.Contains(9, 20));
  EXPECT_FALSE(HotSpot{}.Contains(0, 0));
  EXPECT_FALSE((HotSpot{5, 5, -3, 10}.Contains(4, 6)));
  // Edges far out neither wrap nor overflow.
  EXPECT_TRUE((HotSpot{2147483600, 0, 100, 1}.Contains(2147483640, 0)));
  EXPECT_EQ(RectOf(HotSpot{2147483600, -5, 100, 10}), (Rect{2147483600, -5, 2147483647, 5}));
}

TEST(FunctionLabelTest, CodesOutsideTheTableHaveNoLabel) {
  FunctionLabelTable labels;
  labels[1] = u"Left";
  labels[54] = u"Last";
  EXPECT_EQ(FunctionLabel(labels, 1), u"Left");
  EXPECT_EQ(FunctionLabel(labels, 54), u"Last");
  for (std::int32_t code : {0, -1, 55, 99, 2147483647}) EXPECT_EQ(FunctionLabel(labels, code), u"") << code;
}

// A skin folder with both language variants of the layout files; the values
// live in the fake store, the files exist on disk for the existence check.
class SkinFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolvar-skin-" + std::to_string(::getpid()) + "-" +
                                        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    for (std::uint8_t verSel : {0, 1}) {
      const SkinFilePaths files = SkinFilesFor(dir_.string(), verSel);
      for (const std::string& path : {files.main, files.colour, files.advanced, files.warning}) Touch(path);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  static void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path).put('\n');
  }

  SkinSource Source(std::uint8_t verSel) {
    return SkinSource{ini_, dialogs_, u"tolvar", dir_.string(), verSel, [this] { ++ended_; }};
  }
  SkinFilePaths Files(std::uint8_t verSel) const { return SkinFilesFor(dir_.string(), verSel); }
  void SetRow(const std::string& file, const std::u16string& section, int row, const std::u16string& value) {
    ini_.Set(file, section, DecimalText(row), value);
  }

  fs::path dir_;
  FakeIniStore ini_;
  RecordingDialogs dialogs_;
  int ended_ = 0;
};

TEST_F(SkinFixture, LayoutFilesFollowTheLanguage) {
  const SkinFilePaths en = Files(1);
  const SkinFilePaths cn = Files(0);
  const std::string d = dir_.string();
  EXPECT_EQ(en.main, d + "/INI_EN/skin_main_en.ini");
  EXPECT_EQ(en.colour, d + "/INI_EN/skin_color_en.ini");
  EXPECT_EQ(en.advanced, d + "/INI_EN/skin_advance_en.ini");
  EXPECT_EQ(en.warning, d + "/INI_EN/LBWarning_en.ini");
  EXPECT_EQ(cn.main, d + "/INI_CN/skin_main.ini");
  EXPECT_EQ(cn.colour, d + "/INI_CN/skin_color.ini");
  EXPECT_EQ(cn.advanced, d + "/INI_CN/skin_advance.ini");
  EXPECT_EQ(cn.warning, d + "/INI_CN/LBWarning.ini");
  EXPECT_EQ(Files(7).main, en.main);  // any nonzero value means English
}

struct RowCase {
  std::u16string value;
  HotSpot spot;
  std::u16string label;
  int messages;
};

TEST_F(SkinFixture, RowsBecomeHotSpotsAndLabels) {
  const RowCase cases[] = {
      {u"Back,10,20,30,40,Save,x", {10, 20, 30, 40}, u"Save", 0},
      {u"Back,10,20,30,40,Save,x,y", {10, 20, 30, 40}, u"Save", 1},
      {u"a,1,2,3,4", {1, 2, 3, 0}, u"a", 0},
      {u"n,-5,+7,abc,12px,,", {-5, 7, 0, 12}, u"", 0},
      {u"n, 3,\t4,99999999999,0,L,", {3, 4, 2147483647, 0}, u"L", 0},
      {u"", {}, u"", 0},
  };
  const std::string file = Files(1).warning;
  for (const auto& c : cases) {
    dialogs_.messages.clear();
    SetRow(file, u"BUTTONPOS", 0, c.value);
    SkinLayout layout;
    ASSERT_TRUE(LoadWarningSkin(Source(1), layout));
    EXPECT_EQ(layout.Warning.spots[0], c.spot) << Utf16ToUtf8(c.value);
    EXPECT_EQ(layout.Warning.labels[0], c.label) << Utf16ToUtf8(c.value);
    ASSERT_EQ(static_cast<int>(dialogs_.messages.size()), c.messages) << Utf16ToUtf8(c.value);
    for (const auto& [text, caption] : dialogs_.messages) {
      EXPECT_EQ(text, u"加载ini错误！");
      EXPECT_EQ(caption, u"tolvar");
    }
  }
  EXPECT_EQ(ended_, 0);
}

TEST_F(SkinFixture, LoadersFillEveryRowOfTheirPages) {
  const SkinFilePaths en = Files(1);
  SetRow(en.main, u"BUTTONPOS", 0, u"r0,1,2,3,4,Title,");
  SetRow(en.main, u"BUTTONPOS", 149, u"r149,5,6,7,8,Last,");
  SetRow(en.main, u"BUTTONPOS", 150, u"r150,9,9,9,9,Beyond,");
  SetRow(en.main, u"FUN_STRING", 0, u"Zero");
  SetRow(en.main, u"FUN_STRING", 1, u"Left,Click");
  SetRow(en.main, u"FUN_STRING", 54, u"Fifty-four");
  SetRow(en.main, u"FUN_STRING", 55, u"Beyond");
  SetRow(en.colour, u"BUTTONPOS", 32, u"preview,100,110,50,60,,");
  SetRow(en.colour, u"BUTTONPOS", 33, u"beyond,1,1,1,1,X,");
  SetRow(en.advanced, u"BUTTONPOS", 51, u"r51,11,12,13,14,End,");
  SetRow(en.advanced, u"BUTTONPOS", 52, u"beyond,1,1,1,1,X,");
  SetRow(en.advanced, u"EDIT", 0, u"e0,1,1,1,1,,");
  SetRow(en.advanced, u"EDIT", 2, u"cut,10,20,30,40,,");
  SetRow(en.advanced, u"EDIT", 3, u"repeat,50,60,70,80,,");
  SetRow(en.advanced, u"EDIT", 4, u"name,1,2,3,4,,");
  SetRow(en.advanced, u"MACRODISPLAY", 0, u"m0,9,9,9,9,,");
  SetRow(en.advanced, u"MACRODISPLAY", 1, u"macros,5,6,7,8,,");
  SetRow(en.advanced, u"MACRODISPLAY", 2, u"events,-1,-2,3,4,,");
  SetRow(en.warning, u"BUTTONPOS", 2, u"msg,1,2,3,4,Sure?,");

  SkinLayout layout;
  ASSERT_TRUE(LoadAllSkins(Source(1), layout));
  EXPECT_EQ(layout.Main.spots[0], (HotSpot{1, 2, 3, 4}));
  EXPECT_EQ(layout.Main.labels[0], u"Title");
  EXPECT_EQ(layout.Main.spots[149], (HotSpot{5, 6, 7, 8}));
  EXPECT_EQ(layout.Main.labels[149], u"Last");
  EXPECT_EQ(layout.FunctionLabels[0], u"");
  EXPECT_EQ(layout.FunctionLabels[1], u"Left");
  EXPECT_EQ(layout.FunctionLabels[54], u"Fifty-four");
  EXPECT_EQ(layout.Colour.spots[32], (HotSpot{100, 110, 50, 60}));
  EXPECT_EQ(layout.Advanced.spots[51], (HotSpot{11, 12, 13, 14}));
  EXPECT_EQ(layout.Advanced.labels[51], u"End");
  EXPECT_EQ(layout.Warning.labels[2], u"Sure?");
  EXPECT_EQ(layout.Areas,
            (AdvancedAreas{{10, 20, 40, 60}, {50, 60, 120, 140}, {1, 2, 4, 6}, {5, 6, 12, 14}, {-1, -2, 2, 2}}));
  // 150 + 54 + 33 + 52 + 5 + 3 rows, one read each.
  EXPECT_EQ(ini_.reads, 297);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(ended_, 0);
}

TEST_F(SkinFixture, SwitchingTheLanguageReplacesEveryEntry) {
  const SkinFilePaths en = Files(1);
  const SkinFilePaths cn = Files(0);
  SetRow(en.main, u"BUTTONPOS", 5, u"r5,1,2,3,4,English,");
  SetRow(cn.main, u"BUTTONPOS", 6, u"r6,5,6,7,8,Other,");
  SetRow(en.main, u"FUN_STRING", 3, u"Middle");
  SetRow(en.advanced, u"EDIT", 3, u"repeat,50,60,70,80,,");

  SkinLayout layout;
  ASSERT_TRUE(LoadAllSkins(Source(1), layout));
  EXPECT_EQ(layout.Main.labels[5], u"English");
  EXPECT_EQ(layout.Main.labels[6], u"");

  ASSERT_TRUE(LoadAllSkins(Source(0), layout));
  EXPECT_EQ(layout.Main.spots[5], HotSpot{});
  EXPECT_EQ(layout.Main.labels[5], u"");
  EXPECT_EQ(layout.Main.spots[6], (HotSpot{5, 6, 7, 8}));
  EXPECT_EQ(layout.Main.labels[6], u"Other");
  EXPECT_EQ(layout.FunctionLabels[3], u"");
  EXPECT_EQ(layout.Areas, AdvancedAreas{});
}

TEST_F(SkinFixture, AMissingFileEndsTheProgramOncePerLoad) {
  const SkinFilePaths en = Files(1);
  SetRow(en.main, u"BUTTONPOS", 0, u"r0,1,2,3,4,Title,");
  SkinLayout layout;
  layout.Main.labels[7] = u"stale";
  layout.FunctionLabels[2] = u"stale";
  fs::remove(en.main);

  EXPECT_FALSE(LoadMainSkin(Source(1), layout));
  EXPECT_EQ(ended_, 1);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].first, u"找不到配置文件");
  EXPECT_EQ(dialogs_.messages[0].second, u"tolvar");
  EXPECT_EQ(ini_.reads, 0);
  EXPECT_EQ(layout.Main.labels[0], u"");
  EXPECT_EQ(layout.Main.labels[7], u"");
  EXPECT_EQ(layout.FunctionLabels[2], u"");

  // Loading all four stops at the missing file: the sequence still runs once.
  EXPECT_FALSE(LoadAllSkins(Source(1), layout));
  EXPECT_EQ(ended_, 2);
  EXPECT_EQ(dialogs_.messages.size(), 2u);

  // The other language's files are still there.
  EXPECT_TRUE(LoadAllSkins(Source(0), layout));
  EXPECT_EQ(ended_, 2);
}

TEST_F(SkinFixture, EachMissingPageFileIsReported) {
  using Loader = bool (*)(const SkinSource&, SkinLayout&);
  const std::pair<Loader, std::string> loaders[] = {
      {&LoadColourSkin, Files(0).colour}, {&LoadAdvancedSkin, Files(0).advanced}, {&LoadWarningSkin, Files(0).warning}};
  for (const auto& [load, file] : loaders) {
    fs::remove(file);
    ended_ = 0;
    SkinLayout layout;
    EXPECT_FALSE(load(Source(0), layout)) << file;
    EXPECT_EQ(ended_, 1) << file;
  }
}

TEST_F(SkinFixture, ALayoutFileInADeepFolderIsFound) {
  fs::path deep = dir_;
  while (deep.string().size() < 300) deep /= "folder";
  const std::string skinsDir = deep.string();
  Touch(SkinFilesFor(skinsDir, 1).main);
  ASSERT_GT(SkinFilesFor(skinsDir, 1).main.size(), 300u);

  SkinSource source = Source(1);
  source.skinsDir = skinsDir;
  SkinLayout layout;
  EXPECT_TRUE(LoadMainSkin(source, layout));
  EXPECT_EQ(ended_, 0);
}

}  // namespace
}  // namespace tolvar
