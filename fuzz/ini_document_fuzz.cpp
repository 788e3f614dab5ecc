// The INI document over any file content: read back byte for byte, then one
// key written, which must read back as written while every other line keeps
// its bytes. The section, key and value come from the end of the input, the
// file from the rest, so that real files serve as seeds.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "platform/ini/ini_document.h"

using namespace tolvar;

namespace {

constexpr std::array<std::u16string_view, 8> kNames = {u"Init",     u"Config1", u"Macros", u"K1",
                                                       u"macroNum", u"a",       u"A",      u"0"};
constexpr std::array<std::u16string_view, 6> kValues = {u"", u"1", u"-7", u" x ", u"\"q\"", u"value with = sign"};

std::u16string Pick(FuzzedDataProvider& input, std::u16string_view ownText) {
  switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
      return std::u16string(kNames[input.ConsumeIntegralInRange<std::size_t>(0, kNames.size() - 1)]);
    case 1:
      return std::u16string(kValues[input.ConsumeIntegralInRange<std::size_t>(0, kValues.size() - 1)]);
    default:
      return std::u16string(ownText);
  }
}

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t'; }

// A value that reading keeps as it is: no blanks around it, not quoted.
bool IsPlain(std::u16string_view value) {
  if (value.empty()) return true;
  const bool quoted =
      value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
  return !IsBlank(value.front()) && !IsBlank(value.back()) && !quoted;
}

// The text between the common beginning and the common end of two texts.
template <typename Text>
Text Changed(const Text& before, const Text& after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return before.substr(prefix, before.size() - prefix - suffix);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string ownBytes(input.ConsumeIntegralInRange<std::size_t>(0, 8), '\0');
  for (char& byte : ownBytes) byte = static_cast<char>(input.ConsumeIntegral<std::uint8_t>());
  const std::u16string own = Utf8ToUtf16(ownBytes);
  const std::u16string section = Pick(input, own);
  const std::u16string key = Pick(input, own);
  const std::u16string value = Pick(input, own);
  const std::string file = input.ConsumeRemainingBytesAsString();

  IniDocument document(file);
  FUZZ_CHECK(document.Bytes() == file);
  document.Find(section, key);
  if (!IniDocument::CanHold(section, key, value)) return 0;

  const bool changed = document.Set(section, key, value);
  const std::string written = document.Bytes();
  FUZZ_CHECK(changed == (written != file));

  const IniDocument reread(written);
  // A value reads back as written, except that reading drops blanks around
  // it and one pair of enclosing quotation marks.
  const std::u16string* found = reread.Find(section, key);
  const std::u16string* held = document.Find(section, key);
  FUZZ_CHECK(found != nullptr && held != nullptr && *found == *held);
  if (IsPlain(value)) FUZZ_CHECK(*found == value);
  FUZZ_CHECK(reread.encoding() == document.encoding());

  // At most part of one line was replaced: what changed of the old content
  // holds no line feed (lines end at line feeds; a carriage return without
  // one belongs to its line).
  const IniEncoding encoding = document.encoding();
  const std::size_t mark = ByteOrderMark(encoding).size();
  if (CodeUnitSize(encoding) == 1) {
    FUZZ_CHECK(Changed(file, written).find('\n') == std::string::npos);
  } else {
    const std::u16string before = DecodeIniText(encoding, std::string_view(file).substr(mark));
    const std::u16string after = DecodeIniText(encoding, std::string_view(written).substr(mark));
    FUZZ_CHECK(Changed(before, after).find(u'\n') == std::u16string::npos);
  }
  return 0;
}
