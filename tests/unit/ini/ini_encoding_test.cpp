#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "unit/ini/ini_test_files.h"

namespace tolvar {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

enum class Form { kUtf8, kUtf8Bom, kUtf16Le, kUtf16Be };

// The bytes of `text` in a file of the given form, its byte order mark first.
std::string FileBytes(Form form, std::u16string_view text) {
  if (form == Form::kUtf8) return Utf16ToUtf8(text);
  if (form == Form::kUtf8Bom) return "\xEF\xBB\xBF" + Utf16ToUtf8(text);
  const bool bigEndian = form == Form::kUtf16Be;
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

struct EncodingCase {
  const char* what;
  Form form;
  std::u16string lineEnd;
};

TEST(IniEncodingTest, ReadsAndWritesEveryEncodingInItsOwnForm) {
  const EncodingCase cases[] = {
      {"UTF-8", Form::kUtf8, u"\n"},
      {"UTF-8 with BOM", Form::kUtf8Bom, u"\r\n"},
      {"UTF-16LE", Form::kUtf16Le, u"\r\n"},
      {"UTF-16BE", Form::kUtf16Be, u"\n"},
  };
  TempFolder folder;
  const std::string path = folder.Path("skin.ini");
  for (const EncodingCase& c : cases) {
    const std::u16string& n = c.lineEnd;
    WriteBytes(path, FileBytes(c.form, u"; 皮肤" + n + u"[FUN_STRING]" + n + u"1=左键 \U0001F5B1" + n + u"2 = 'Right'" +
                                           n + n + u"[BUTTONPOS]" + n + u"0=Back,1,2,3,4,Save," + n));
    IniFileStore store;
    EXPECT_EQ(store.Read(path, u"fun_string", u"1", 260), u"左键 \U0001F5B1") << c.what;
    EXPECT_EQ(store.Read(path, u"FUN_STRING", u"2", 260), u"Right") << c.what;
    EXPECT_EQ(store.Read(path, u"BUTTONPOS", u"0", 260), u"Back,1,2,3,4,Save,") << c.what;

    ASSERT_TRUE(store.Write(path, u"FUN_STRING", u"2", u"右键")) << c.what;
    ASSERT_TRUE(store.Write(path, u"FUN_STRING", u"3", u"中键 \U0001F5B1")) << c.what;
    ASSERT_TRUE(store.Write(path, u"Neu", u"Ü", u"ö")) << c.what;
    EXPECT_EQ(ReadBytes(path), FileBytes(c.form, u"; 皮肤" + n + u"[FUN_STRING]" + n + u"1=左键 \U0001F5B1" + n +
                                                     u"2=右键" + n + u"3=中键 \U0001F5B1" + n + n + u"[BUTTONPOS]" + n +
                                                     u"0=Back,1,2,3,4,Save," + n + u"[Neu]" + n + u"Ü=ö" + n))
        << c.what;

    IniFileStore fresh;
    EXPECT_EQ(fresh.Read(path, u"FUN_STRING", u"3", 260), u"中键 \U0001F5B1") << c.what;
    EXPECT_EQ(fresh.Read(path, u"neu", u"Ü", 260), u"ö") << c.what;
  }
}

// A UTF-16 file cut in the middle of a code unit: when lines are written
// after it, the stray byte becomes the replacement character it reads as,
// so the lines stay aligned and the cut line keeps its meaning (here "[B"
// and the low byte of ']' must not become the header "[B]").
TEST(IniEncodingTest, AStrayByteAtTheEndOfAUtf16FileKeepsItsMeaning) {
  for (const Form form : {Form::kUtf16Le, Form::kUtf16Be}) {
    TempFolder folder;
    const std::string path = folder.Path("config.ini");
    WriteBytes(path, FileBytes(form, u"[A]\nK=1\n[B") + (form == Form::kUtf16Le ? "]" : std::string(1, '\0')));
    IniFileStore store;
    ASSERT_TRUE(store.Write(path, u"B", u"K", u"2"));
    EXPECT_EQ(ReadBytes(path), FileBytes(form, u"[A]\nK=1\n[B\uFFFD\n[B]\nK=2\n"));
    IniFileStore fresh;
    EXPECT_EQ(fresh.Read(path, u"B", u"K", 10), u"2");
    EXPECT_EQ(fresh.Read(path, u"A", u"K", 10), u"1");
  }
}

TEST(IniEncodingTest, NamesFoldOnlyAsciiLetters) {
  TempFolder folder;
  const std::string path = folder.Path("a.ini");
  WriteBytes(path, "[Größe]\nÄ=1\n");
  IniFileStore store;
  EXPECT_EQ(store.Read(path, u"GRößE", u"Ä", 5), u"1");
  EXPECT_EQ(store.Read(path, u"GRÖSSE", u"Ä", 5), u"");
  EXPECT_EQ(store.Read(path, u"Größe", u"ä", 5), u"");
}

}  // namespace
}  // namespace tolvar
