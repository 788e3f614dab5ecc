// ParseDecimal over any UTF-16 text, checked against a plain restatement of
// its rule with 64-bit arithmetic.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/text.h"
#include "fuzz_check.h"

using namespace tolvar;

namespace {

bool IsBlank(char16_t unit) { return unit == u' ' || (unit >= u'\t' && unit <= u'\r'); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = fuzz::Utf16Units(data, size);
  const std::int32_t parsed = ParseDecimal(text);

  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';
  std::int64_t magnitude = 0;
  while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
    magnitude = std::min<std::int64_t>(magnitude * 10 + (text[at++] - u'0'), std::int64_t{1} << 40);
  }
  const std::int64_t expected =
      std::clamp<std::int64_t>(negative ? -magnitude : magnitude, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max());
  FUZZ_CHECK(parsed == expected);
  return 0;
}
