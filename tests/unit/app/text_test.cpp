#include "base/text.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

struct ParseCase {
  std::u16string text;
  std::int32_t expected;
};

TEST(ParseDecimalTest, FollowsTheOneNumberRule) {
  const ParseCase cases[] = {
      {u"", 0},
      {u"abc", 0},
      {u"42", 42},
      {u"  \t17", 17},
      {u"-5", -5},
      {u"+8", 8},
      {u"+-3", 0},
      {u"- 3", 0},
      {u"0300", 300},
      {u"12ab34", 12},
      {u"007", 7},
      {u"3000", 3000},
      {u"99999999999", 2147483647},
      {u"-99999999999", -2147483647 - 1},
      {u"2147483647", 2147483647},
      {u"-2147483648", -2147483647 - 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseDecimal(c.text), c.expected) << Utf16ToUtf8(c.text);
  }
}

TEST(TextTest, Utf8RoundTripsThroughUtf16) {
  const std::string samples[] = {"plain", "宋体", "윈도우 보여주기   ", "【Quarrion】", "\xF0\x9F\x96\xB1"};
  for (const auto& s : samples) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x96\xB1").size(), 2u);  // a surrogate pair
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b"),
            u"a\uFFFDb");
}

TEST(TextTest, DecimalTextIsPercentD) {
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(-12), u"-12");
  EXPECT_EQ(DecimalText(127), u"127");
}

}  // namespace
}  // namespace tolvar
