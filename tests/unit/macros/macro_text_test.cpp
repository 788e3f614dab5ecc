#include "macros/macro_text.h"

#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "macros/key_table.h"

namespace tolvar {
namespace {

std::u16string Fields(std::initializer_list<const char16_t*> fields) {
  std::u16string text;
  for (const char16_t* f : fields) text += f;
  return text;
}

std::u16string Repeat(const char16_t* field, int times) {
  std::u16string text;
  for (int i = 0; i < times; ++i) text += field;
  return text;
}

// The codes that come back from a file as they were written: every named
// code but usage 118, which has no virtual-key code.
std::vector<std::uint8_t> FileSafeCodes() {
  std::vector<std::uint8_t> codes;
  for (int code = 0; code < 256; ++code) {
    const auto c = static_cast<std::uint8_t>(code);
    if (c != 118 && KeyName(c) != u"NON-AVAILABLE") codes.push_back(c);
  }
  return codes;
}

Macro MacroNamed(std::u16string_view name) {
  Macro m;
  m.name = MacroNameFrom(name);
  return m;
}

TEST(MacroTextTest, MacroM1IsWrittenToTheCharacter) {
  Macro m1 = MacroNamed(u"M1");
  m1.repeatCount = 1;
  const std::u16string expected = Fields({u"077", u"000", u"049", u"000"}) + Repeat(u"000", 36) +
                                  Fields({u"000", u"001", u"000", u"000"}) + Repeat(u"000", 1020);
  ASSERT_EQ(expected.size(), kMacroTextChars);
  EXPECT_EQ(EncodeMacro(m1), expected);
  EXPECT_EQ(DecodeMacro(expected), m1);
}

TEST(MacroTextTest, EventsAreWrittenAsVirtualKeysAndReadBackAsUsages) {
  Macro m = MacroNamed(u"Keys");
  m.mode = 2;
  m.repeatCount = 0x1234;
  m.eventCount = 3;
  m.events[0] = {4, 1, 300};  // A pressed, 300 ms
  m.events[1] = {240, 2, 7};  // left button released
  m.events[2] = {224, 1, 65535};
  const std::u16string text = EncodeMacro(m);
  ASSERT_EQ(text.size(), kMacroTextChars);
  auto field = [&text](std::size_t i) { return text.substr(3 * i, 3); };
  EXPECT_EQ(field(40), u"002");
  EXPECT_EQ(field(41), u"052");  // 0x34
  EXPECT_EQ(field(42), u"018");  // 0x12
  EXPECT_EQ(field(43), u"003");
  EXPECT_EQ(field(44), u"065");
  EXPECT_EQ(field(45), u"001");
  EXPECT_EQ(field(46), u"044");  // 300 = 1 × 256 + 44
  EXPECT_EQ(field(47), u"001");
  EXPECT_EQ(field(48), u"240");
  EXPECT_EQ(field(52), u"162");
  EXPECT_EQ(field(54), u"255");
  EXPECT_EQ(field(55), u"255");
  EXPECT_EQ(DecodeMacro(text), m);
}

TEST(MacroTextTest, AnyRecordRoundTrips) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  const std::vector<std::uint8_t> codes = FileSafeCodes();
  std::uniform_int_distribution<std::size_t> pick(0, codes.size() - 1);
  for (int round = 0; round < 20; ++round) {
    Macro m;
    for (int i = 0; i < kMacroNameUnits - 1; ++i) m.name[i] = static_cast<char16_t>(byte(random) << 8 | byte(random));
    m.mode = static_cast<std::uint8_t>(byte(random));
    m.repeatCount = static_cast<std::uint16_t>(byte(random) << 8 | byte(random));
    m.eventCount = static_cast<std::uint8_t>(byte(random));
    for (MacroEvent& e : m.events) {
      e.code = codes[pick(random)];
      e.action = static_cast<std::uint8_t>(byte(random));
      e.delay = static_cast<std::uint16_t>(byte(random) << 8 | byte(random));
    }
    EXPECT_EQ(DecodeMacro(EncodeMacro(m)), m) << round;
  }
}

TEST(MacroTextTest, ShortAndGarbageTextsReadSafely) {
  struct Case {
    const char* what;
    std::u16string text;
    std::u16string name;
    std::uint8_t mode;
    std::uint8_t eventCount;
  };
  const Case cases[] = {
      {"empty", u"", u"", 0, 0},
      {"name only, last piece short", u"077000049", u"M1", 0, 0},
      {"a partial field counts", u"077000049000" + Repeat(u"000", 36) + u"2", u"M1", 2, 0},
      {"letters read as 0", u"abcdefghi", u"", 0, 0},
      {"large numbers keep the low 8 bits", u"999000" + Repeat(u"000", 38) + u"000000000300", u"\u00E7", 0, 44},
      {"signs and blanks", u" 77-01+49", u"\uFF4D1", 0, 0},  // 77 + 255 × 256, then 49
  };
  for (const auto& c : cases) {
    const Macro m = DecodeMacro(c.text);
    EXPECT_EQ(MacroNameText(m), c.name) << c.what;
    EXPECT_EQ(m.mode, c.mode) << c.what;
    EXPECT_EQ(m.eventCount, c.eventCount) << c.what;
    EXPECT_EQ(m.events[254], MacroEvent{}) << c.what;
  }
}

TEST(MacroTextTest, TheNameAlwaysEndsWithANul) {
  const std::u16string full = Repeat(u"065000", 20) + Repeat(u"000", 1024);  // 20 units of 'A'
  const Macro m = DecodeMacro(full);
  EXPECT_EQ(m.name[19], 0);
  EXPECT_EQ(MacroNameText(m), std::u16string(19, u'A'));
}

TEST(MacroTextTest, LongNamesAreCutToNineteenUnits) {
  EXPECT_EQ(MacroNameText(MacroNamed(u"abcdefghijklmnopqrstuvwxyz")), u"abcdefghijklmnopqrs");
  EXPECT_EQ(MacroNameText(MacroNamed(u"")), u"");
  EXPECT_EQ(MacroNameText(MacroNamed(u"전체 선택")), u"전체 선택");
  // A surrogate pair that would straddle the cut is left out whole.
  const std::u16string pairAtCut = std::u16string(18, u'x') + u"\U0001F5B1";
  EXPECT_EQ(MacroNameText(MacroNamed(pairAtCut)), std::u16string(18, u'x'));
}

}  // namespace
}  // namespace tolvar
