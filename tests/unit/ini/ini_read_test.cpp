#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "unit/ini/ini_test_files.h"

namespace tolvar {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

struct ReadCase {
  const char* what;
  std::string file;
  std::u16string section;
  std::u16string key;
  std::size_t bufferChars;
  std::u16string expected;
};

class IniReadTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  IniFileStore store_;
};

TEST_F(IniReadTest, FindsValuesByTheReadingRules) {
  const std::u16string macroText(3192, u'7');
  const ReadCase cases[] = {
      {"plain key", "[Init]\nCurConfig=3\n", u"Init", u"CurConfig", 5, u"3"},
      {"names ignore ASCII case", "[init]\ncurCONFIG=3\n", u"INIT", u"CurConfig", 5, u"3"},
      {"first section of a name wins", "[A]\nK=1\n[a]\nK=2\n", u"A", u"K", 5, u"1"},
      {"a key only in a later twin section is not seen", "[A]\nK=1\n[a]\nL=2\n", u"a", u"L", 5, u""},
      {"first key of a name wins", "[A]\nK=1\nk=2\n", u"A", u"K", 5, u"1"},
      {"blanks around key and value go", "[A]\n \t K \t=\t  v a l  \t\n", u"A", u"K", 20, u"v a l"},
      {"double quotes go", "[A]\nK= \" spaced \" \n", u"A", u"K", 20, u" spaced "},
      {"single quotes go", "[A]\nK='x'\n", u"A", u"K", 20, u"x"},
      {"only one pair of quotes goes", "[A]\nK=\"\"x\"\"\n", u"A", u"K", 20, u"\"x\""},
      {"mismatched quotes stay", "[A]\nK=\"x'\n", u"A", u"K", 20, u"\"x'"},
      {"a lone quote stays", "[A]\nK=\"\n", u"A", u"K", 20, u"\""},
      {"the value runs past a second '='", "[A]\nK=a=b\n", u"A", u"K", 20, u"a=b"},
      {"an empty value", "[A]\nK=\nL=2\n", u"A", u"K", 20, u""},
      {"a comment line is no key", "[A]\n;K=1\n  ; K=2\nK=3\n", u"A", u"K", 5, u"3"},
      {"a line without '=' is no key", "[A]\nK\nK=2\n", u"A", u"K", 5, u"2"},
      {"keys before the first section belong to none", "K=1\n[A]\nL=2\n", u"A", u"K", 5, u""},
      {"blanks inside and after a section header", "  [ A ] ; note\nK=1\n", u"a", u"K", 5, u"1"},
      {"a header without its bracket runs to the line end", "[A\nK=1\n", u"A", u"K", 5, u"1"},
      {"CRLF line ends", "[A]\r\nK=1\r\nL= 2 \r\n", u"A", u"L", 5, u"2"},
      {"no line end after the last line", "[A]\nK=1", u"A", u"K", 5, u"1"},
      {"cut to the buffer less one", "[A]\nFIRE_TIME=30000\n", u"A", u"FIRE_TIME", 5, u"3000"},
      {"a value that fits the buffer", "[A]\nK=123456789\n", u"A", u"K", 10, u"123456789"},
      {"a buffer of one gives nothing", "[A]\nK=1\n", u"A", u"K", 1, u""},
      {"a buffer of zero gives nothing", "[A]\nK=1\n", u"A", u"K", 0, u""},
      {"a cut does not split a surrogate pair", "[A]\nK=ab\xF0\x9F\x96\xB1\n", u"A", u"K", 4, u"ab"},
      {"a whole surrogate pair fits", "[A]\nK=ab\xF0\x9F\x96\xB1\n", u"A", u"K", 5, u"ab\U0001F5B1"},
      {"a macro text of 3192 characters", "[Macros]\n0=" + Utf16ToUtf8(macroText) + "\n", u"Macros", u"0", 3193,
       macroText},
      {"missing section", "[A]\nK=1\n", u"B", u"K", 5, u""},
      {"missing key", "[A]\nK=1\n", u"A", u"L", 5, u""},
      {"an empty file", "", u"A", u"K", 5, u""},
  };
  const std::string path = folder_.Path("read.ini");
  for (const ReadCase& c : cases) {
    WriteBytes(path, c.file);
    EXPECT_EQ(store_.Read(path, c.section, c.key, c.bufferChars), c.expected) << c.what;
  }
}

TEST_F(IniReadTest, WhatIsNoReadableFileReadsAsEmpty) {
  const std::string pipe = folder_.Path("pipe.ini");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string paths[] = {folder_.Path("missing.ini"), folder_.Path("no/such/folder/x.ini"), folder_.Path(""),
                               pipe};
  for (const std::string& path : paths) EXPECT_EQ(store_.Read(path, u"A", u"K", 5), u"") << path;
}

}  // namespace
}  // namespace tolvar
