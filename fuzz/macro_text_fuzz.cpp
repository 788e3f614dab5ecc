// The macro text codec: decoding any text, as a macro file may hold it, and
// encoding what was decoded, which must decode to the same macro.
#include "base/text.h"
#include "fuzz_check.h"
#include "macros/macro_text.h"

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Most inputs are digits: read them as UTF-8, and every other input as
  // UTF-16 units so that any unit reaches the decoder.
  const bool units = size > 0 && data[0] == 0xFF;
  const std::u16string text =
      units ? fuzz::Utf16Units(data + 1, size - 1) : Utf8ToUtf16({reinterpret_cast<const char*>(data), size});
  const Macro macro = DecodeMacro(text);
  FUZZ_CHECK(macro.name.back() == u'\0');

  const std::u16string encoded = EncodeMacro(macro);
  FUZZ_CHECK(encoded.size() == kMacroTextChars);
  FUZZ_CHECK(DecodeMacro(encoded) == macro);
  FUZZ_CHECK(MacroNameText(macro).size() < kMacroNameUnits);
  return 0;
}
