// Text helpers shared by every subsystem: all texts of the program are UTF-16,
// file paths are UTF-8 (the Linux file system's own encoding).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvar {

// The one rule for every number read from an INI value or an edit box:
// skip white space, take one optional sign, then decimal digits up to the
// first other character. No digits give 0. Values beyond 32 bits saturate.
std::int32_t ParseDecimal(std::u16string_view text);

// A whole number as "%d" writes it.
std::u16string DecimalText(long long value);

// Conversions between UTF-8 and UTF-16. Malformed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// ASCII-only case folding, as used for device paths and INI names.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tolvar
